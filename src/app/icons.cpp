#include "icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace moltrix::app {
namespace {

// Draws `paint` on a 64 x 64 canvas, scaled to each of the sizes.
QIcon Draw(const std::function<void(QPainter&)>& paint) {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 64.0, size / 64.0);
        paint(painter);
        icon.addPixmap(pixmap);
    }
    return icon;
}

// A 32-pin chip seen from above: dark body, silver pins, the notch at the top.
void Chip(QPainter& p, const QRectF& body) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 190, 200));
    const int pins = 6;
    const double step = body.height() / pins;
    for (int i = 0; i < pins; ++i) {
        const double y = body.top() + step * (i + 0.25);
        p.drawRect(QRectF(body.left() - 6, y, 6, step * 0.5));
        p.drawRect(QRectF(body.right(), y, 6, step * 0.5));
    }
    p.setBrush(QColor(40, 40, 48));
    p.drawRoundedRect(body, 3, 3);
    p.setBrush(QColor(90, 90, 100));
    p.drawEllipse(QPointF(body.center().x(), body.top()), 5, 5);
}

}  // namespace

QIcon ProgramIcon() {
    return Draw([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 110, 70));  // the board
        p.drawRoundedRect(QRectF(2, 2, 60, 60), 8, 8);
        Chip(p, QRectF(20, 10, 24, 44));
        p.setBrush(QColor(255, 200, 40));  // a lit lamp
        p.drawEllipse(QPointF(52, 52), 5, 5);
    });
}

QIcon OpenFileIcon() {
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(120, 80, 10), 3));
        p.setBrush(QColor(240, 190, 60));
        p.drawRect(QRectF(6, 18, 46, 36));  // the folder
        QPainterPath flap;
        flap.moveTo(6, 54);
        flap.lineTo(18, 28);
        flap.lineTo(60, 28);
        flap.lineTo(52, 54);
        flap.closeSubpath();
        p.setBrush(QColor(255, 215, 100));
        p.drawPath(flap);
        p.drawRect(QRectF(6, 12, 18, 6));  // its tab
    });
}

QIcon SaveFileIcon() {
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(20, 40, 90), 3));
        p.setBrush(QColor(60, 100, 190));  // the disk
        p.drawRoundedRect(QRectF(6, 6, 52, 52), 4, 4);
        p.setBrush(QColor(235, 235, 240));
        p.drawRect(QRectF(16, 6, 32, 18));  // the shutter
        p.drawRect(QRectF(14, 34, 36, 24));  // the label
        p.setBrush(QColor(20, 40, 90));
        p.drawRect(QRectF(38, 9, 6, 12));
    });
}

}  // namespace moltrix::app
