// The three logs of the workflow (Memo1, Memo2, Memo3): read-only, lines only ever appended.
#pragma once

#include <QPlainTextEdit>

namespace vorthal {

QPlainTextEdit* MakeLogMemo(const char* objectName, QWidget* parent);

} // namespace vorthal
