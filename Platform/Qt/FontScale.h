#pragma once

class QFont;
class QSize;
class QWidget;

namespace Platform {

// The windows' pixel sizes are made for the desktop's usual 9 point font,
// whose lines are 14 pixels high. A larger font (desktop settings commonly
// set 11 or 12 points) scales them as much as its lines are higher; a
// smaller one keeps them.
double FontScale(const QFont& font);
// A length in pixels, scaled for the widget's font.
int FontScaled(const QWidget& widget, int pixels);

// The room for a window on the screen the widget shows on: its part that
// panels leave free, less what the window manager's title bar and borders
// take around the window. A scaled desktop on a small screen leaves little:
// 1024x768 at twice the scale has 512x384 pixels to lay windows out in.
QSize ScreenRoom(const QWidget& widget);
// A width of the window in pixels, scaled for the widget's font, yet no
// wider than the screen's room less `besides` (what the window holds beside
// the part of that width).
int FontScaledWithin(const QWidget& widget, int pixels, int besides = 0);

}  // namespace Platform
