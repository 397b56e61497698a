#include "app/log_memo.h"

namespace vorthal {

QPlainTextEdit* MakeLogMemo(const char* objectName, QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(objectName);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    return memo;
}

} // namespace vorthal
