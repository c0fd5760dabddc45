#include "Platform/Qt/FontScale.h"

#include <QFont>
#include <QFontMetricsF>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace Platform {

namespace {

constexpr double kDesignLineHeight = 14.0;
// The title bar and borders, which are known only once the window is shown:
// room enough for the usual desktops'.
constexpr QSize kFrameRoom(8, 40);

}  // namespace

double FontScale(const QFont& font)
{
    return std::max(1.0, QFontMetricsF(font).height() / kDesignLineHeight);
}

int FontScaled(const QWidget& widget, int pixels)
{
    return static_cast<int>(std::lround(pixels * FontScale(widget.font())));
}

QSize ScreenRoom(const QWidget& widget)
{
    const QScreen* screen = widget.screen();
    if (screen == nullptr)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return screen->availableGeometry().size() - kFrameRoom;
}

int FontScaledWithin(const QWidget& widget, int pixels, int besides)
{
    return std::min(FontScaled(widget, pixels), std::max(0, ScreenRoom(widget).width() - besides));
}

}  // namespace Platform
