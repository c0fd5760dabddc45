#include "Client/CustomFields/ButtonImages.h"

#include "Platform/Qt/LocalizedStrings.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include <cstring>

namespace {

constexpr int kImageSize = 32;  // drawn at twice the shown size, for sharp scaling
constexpr int kButtonSize = 25;
constexpr int kShownImageSize = 15;

void DrawAdd(QPainter& painter)
{
    painter.drawLine(QPointF(16, 6), QPointF(16, 26));
    painter.drawLine(QPointF(6, 16), QPointF(26, 16));
}

void DrawFind(QPainter& painter)
{
    painter.drawEllipse(QPointF(13, 13), 8, 8);
    painter.drawLine(QPointF(19, 19), QPointF(27, 27));
}

}  // namespace

QIcon ButtonImage(const char* name)
{
    QPixmap pixmap(kImageSize, kImageSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(QGuiApplication::palette().color(QPalette::ButtonText), 3.5, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    if (std::strcmp(name, "add") == 0)
        DrawAdd(painter);
    else if (std::strcmp(name, "find") == 0)
        DrawFind(painter);
    painter.end();
    return QIcon(pixmap);
}

QPushButton* MakeImageButton(QWidget* parent, const char* objectName, const char* image, const char* tipKey)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setIcon(ButtonImage(image));
    button->setIconSize(QSize(kShownImageSize, kShownImageSize));
    button->setFixedSize(kButtonSize, kButtonSize);
    button->setAutoDefault(false);
    const QString tip = Platform::LocalizedStrings::Text(QString::fromLatin1(tipKey));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    return button;
}
