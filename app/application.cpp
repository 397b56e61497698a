#include "app/application.h"

#include <QFont>

namespace vorthal {

void SetUpApplication(QApplication& application) {
    QApplication::setApplicationName(kApplicationTitle);
    QFont font = QApplication::font();
    // CJK fonts installed by the set-up; the first one present wins.
    font.setFamilies({"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans"});
    font.setPointSize(9);
    application.setFont(font);
}

} // namespace vorthal
