#include "tests/Support/Gui/Appearance.h"

#include <QApplication>
#include <QColor>

namespace TestSupport {

QPalette DarkPalette()
{
    const QColor window(0x2d, 0x2d, 0x30);
    const QColor text(0xe8, 0xe8, 0xe8);
    QPalette palette(text, window);
    palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    palette.setColor(QPalette::AlternateBase, QColor(0x26, 0x26, 0x28));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3d));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Highlight, QColor(0x35, 0x84, 0xe4));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0x9a, 0x9a, 0x9a));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    return palette;
}

Appearance::Appearance(double pointSize, bool dark) : mFont(QApplication::font()), mPalette(QApplication::palette())
{
    if (pointSize > 0) {
        QFont font = mFont;
        font.setPointSizeF(pointSize);
        QApplication::setFont(font);
    }
    if (dark)
        QApplication::setPalette(DarkPalette());
}

Appearance::~Appearance()
{
    QApplication::setFont(mFont);
    QApplication::setPalette(mPalette);
}

}  // namespace TestSupport
