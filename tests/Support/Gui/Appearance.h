#pragma once

#include <QFont>
#include <QPalette>

namespace TestSupport {

// A dark palette as dark desktop themes give one: light text on dark
// windows, fields and buttons.
QPalette DarkPalette();

// Sets the application's font size (in points; 0 keeps the font) and, when
// asked, the dark palette, as the desktop's settings give them to the
// windows made from then on; what was set before comes back when it goes.
class Appearance {
public:
    Appearance(double pointSize, bool dark);
    ~Appearance();
    Appearance(const Appearance&) = delete;
    Appearance& operator=(const Appearance&) = delete;

private:
    QFont mFont;
    QPalette mPalette;
};

}  // namespace TestSupport
