#include "Client/Login/KeyImage.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace Login {

// Drawn on a 64-unit grid, then scaled: a ring as the bow, a shaft with two
// teeth as the bit, the whole turned by 45 degrees so that it reads as a key
// at any size.
QPixmap KeyImage(int size)
{
    const qreal ratio = qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap image(QSize(size, size) * ratio);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    painter.translate(32, 32);
    painter.rotate(-45);
    painter.translate(-32, -32);

    QPainterPath key;
    key.addEllipse(QPointF(17, 32), 13, 13);
    key.addRect(QRectF(28, 28.5, 32, 7));
    key.addRect(QRectF(46, 35, 5, 8));
    key.addRect(QRectF(54, 35, 5, 11));
    key = key.simplified();
    QPainterPath hole;
    hole.addEllipse(QPointF(13, 32), 4.5, 4.5);
    key = key.subtracted(hole);

    QLinearGradient brass(QPointF(0, 18), QPointF(0, 46));
    brass.setColorAt(0.0, QColor(0xf6, 0xd3, 0x65));
    brass.setColorAt(1.0, QColor(0xc8, 0x93, 0x1c));
    painter.setPen(QPen(QColor(0x8a, 0x62, 0x0c), 1.6));
    painter.setBrush(brass);
    painter.drawPath(key);
    painter.end();
    return image;
}

}  // namespace Login
