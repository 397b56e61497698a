#include "app/fragment_row_images.h"

#include <QPainter>
#include <QPainterPath>

namespace vorthal {
namespace {

// A sheet with a folded upper right corner, as on the decorative picture.
QPainterPath SheetOutline() {
    QPainterPath outline;
    outline.moveTo(3.5, 1.5);
    outline.lineTo(10.5, 1.5);
    outline.lineTo(13.5, 4.5);
    outline.lineTo(13.5, 14.5);
    outline.lineTo(3.5, 14.5);
    outline.closeSubpath();
    return outline;
}

QPixmap DrawSheet(const QColor& border, const QColor& fill, const QColor& lines) {
    QPixmap image(kRowImageSize, kRowImageSize);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(border, 1));
    painter.setBrush(fill);
    painter.drawPath(SheetOutline());
    painter.setPen(QPen(lines, 1));
    for (int y = 6; y <= 12; y += 2)
        painter.drawLine(QPointF(5.5, y + 0.5), QPointF(11.5, y + 0.5));
    return image;
}

} // namespace

QPixmap DrawHeaderPageMark() {
    QPixmap image = DrawSheet(QColor(120, 20, 20), QColor(255, 235, 235), QColor(230, 150, 150));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(210, 20, 20));
    painter.drawEllipse(QPointF(11, 11), 4.5, 4.5);
    painter.setPen(QPen(Qt::white, 1.6));
    painter.drawLine(QPointF(11, 8.5), QPointF(11, 11.5)); // an exclamation mark: look here
    painter.drawPoint(QPointF(11, 13.5));
    return image;
}

QPixmap DrawPageSymbol() {
    return DrawSheet(QColor(90, 90, 90), QColor(225, 225, 225), QColor(150, 150, 150));
}

} // namespace vorthal
