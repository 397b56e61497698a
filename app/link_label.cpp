#include "app/link_label.h"

#include <QMouseEvent>

namespace vorthal {

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    QFont linkFont = font();
    linkFont.setBold(true);
    linkFont.setItalic(true);
    linkFont.setUnderline(true);
    setFont(linkFont);
    QPalette navy = palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    setPalette(navy);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

} // namespace vorthal
