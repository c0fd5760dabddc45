#include "Platform/Qt/FontScale.h"

#include <QFont>
#include <QFontMetricsF>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace Platform {

namespace {

constexpr double kDesignLineHeight = 14.0;

}  // namespace

double FontScale(const QFont& font)
{
    return std::max(1.0, QFontMetricsF(font).height() / kDesignLineHeight);
}

int FontScaled(const QWidget& widget, int pixels)
{
    return static_cast<int>(std::lround(pixels * FontScale(widget.font())));
}

}  // namespace Platform
