#include "app/decorative_picture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

namespace vorthal {
namespace {

void DrawBackground(QPainter& painter, QSizeF size) {
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0.0, QColor(18, 52, 86));
    sky.setColorAt(0.6, QColor(36, 110, 120));
    sky.setColorAt(1.0, QColor(120, 182, 93));
    painter.fillRect(QRectF(QPointF(0, 0), size), sky);
}

// A disk drive seen from above with its cover open: case, platter with tracks, spindle, arm.
void DrawDisk(QPainter& painter, QRectF drive) {
    painter.setPen(QPen(QColor(30, 30, 36), 2));
    painter.setBrush(QColor(150, 156, 166));
    painter.drawRoundedRect(drive, 14, 14);

    const double radius = drive.width() * 0.38;
    const QPointF centre(drive.center().x(), drive.top() + drive.width() * 0.5);
    QRadialGradient platter(centre, radius);
    platter.setColorAt(0.0, QColor(235, 238, 245));
    platter.setColorAt(0.7, QColor(170, 178, 196));
    platter.setColorAt(1.0, QColor(110, 118, 138));
    painter.setBrush(platter);
    painter.drawEllipse(centre, radius, radius);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(120, 128, 148, 160), 1));
    for (double track = radius * 0.35; track < radius; track += radius * 0.12) {
        painter.drawEllipse(centre, track, track);
    }
    painter.setPen(QPen(QColor(30, 30, 36), 2));
    painter.setBrush(QColor(60, 64, 72));
    painter.drawEllipse(centre, radius * 0.12, radius * 0.12);

    const QPointF pivot(drive.right() - drive.width() * 0.12, drive.bottom() - drive.width() * 0.16);
    const QPointF head(centre.x() + radius * 0.35, centre.y() + radius * 0.45);
    painter.setPen(QPen(QColor(200, 170, 60), 7, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(pivot, head);
    painter.setPen(QPen(QColor(30, 30, 36), 2));
    painter.setBrush(QColor(200, 170, 60));
    painter.drawEllipse(pivot, 9, 9);
}

// One database page: a sheet with a folded corner, a header band and rows of data.
void DrawPage(QPainter& painter, QPointF centre, double width, double angleDegrees, bool headerPage) {
    painter.save();
    painter.translate(centre);
    painter.rotate(angleDegrees);
    const double height = width * 1.3;
    const QRectF sheet(-width / 2, -height / 2, width, height);
    const double fold = width * 0.22;

    QPainterPath outline;
    outline.moveTo(sheet.topLeft());
    outline.lineTo(sheet.right() - fold, sheet.top());
    outline.lineTo(sheet.right(), sheet.top() + fold);
    outline.lineTo(sheet.bottomRight());
    outline.lineTo(sheet.bottomLeft());
    outline.closeSubpath();
    painter.setPen(QPen(QColor(40, 50, 60), 1.5));
    painter.setBrush(QColor(252, 252, 246));
    painter.drawPath(outline);

    painter.setBrush(headerPage ? QColor(200, 40, 40) : QColor(60, 120, 180));
    painter.setPen(Qt::NoPen);
    painter.drawRect(QRectF(sheet.left() + 5, sheet.top() + 6, width * 0.5, height * 0.1));
    painter.setPen(QPen(QColor(150, 160, 170), 1.2));
    for (double y = sheet.top() + height * 0.28; y < sheet.bottom() - 6; y += height * 0.11) {
        painter.drawLine(QPointF(sheet.left() + 6, y), QPointF(sheet.right() - 6, y));
    }
    painter.restore();
}

} // namespace

QPixmap DrawRecoveryPicture(QSize size) {
    QPixmap picture(size);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QSizeF area(size);
    DrawBackground(painter, area);

    // The drive stands in the lower left, whatever the proportions of the picture.
    const double driveWidth = std::min(area.width() * 0.5, area.height() * 0.4);
    const double driveHeight = driveWidth * 1.25;
    const QRectF drive(area.width() * 0.08, area.height() * 0.96 - driveHeight, driveWidth, driveHeight);
    DrawDisk(painter, drive);

    // The pages rise from above the platter along a curve to the upper right, the header page
    // (red band) first and largest, the later ones smaller as they fly off.
    const QPointF start(drive.center().x(), drive.top() - driveWidth * 0.15);
    const QPointF bend(drive.center().x(), area.height() * 0.12);
    const QPointF end(area.width() * 0.85, area.height() * 0.14);
    const int pageCount = 6;
    const double largest = driveWidth * 0.38;
    for (int index = pageCount - 1; index >= 0; --index) {
        const double t = static_cast<double>(index) / (pageCount - 1);
        const QPointF at = (1 - t) * (1 - t) * start + 2 * (1 - t) * t * bend + t * t * end;
        DrawPage(painter, at, largest * (1.0 - 0.45 * t), -20.0 + 45.0 * t, index == 0);
    }
    return picture;
}

} // namespace vorthal
