#pragma once

class QFont;
class QWidget;

namespace Platform {

// The windows' pixel sizes are made for the desktop's usual 9 point font,
// whose lines are 14 pixels high. A larger font (desktop settings commonly
// set 11 or 12 points) scales them as much as its lines are higher; a
// smaller one keeps them.
double FontScale(const QFont& font);
// A length in pixels, scaled for the widget's font.
int FontScaled(const QWidget& widget, int pixels);

}  // namespace Platform
