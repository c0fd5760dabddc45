// Every window of the client and of Uninstall, as the pictures show them,
// laid out at the desktop's font, at larger fonts and in a dark palette (and,
// run again with QT_SCALE_FACTOR=2, at twice the scale): nothing lies outside
// its parent, nothing overlaps, no text is clipped.
#include "tests/Screenshots/Screenshots.h"
#include "tests/Support/Gui/Appearance.h"
#include "tests/Support/Gui/LayoutCheck.h"
#include "tests/Support/NamedCases.h"
#include "tests/Support/TempRoot.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>

#include <gtest/gtest.h>

// The catalog's windows keep the records they show, and the windows that
// hold a pictured dialog, for the life of the program, as the pictures
// need: not leaks to report.
extern "C" const char* __lsan_default_options()
{
    return "detect_leaks=0";
}

namespace {

using TestSupport::operator<<;

struct Look {
    const char* Name;
    double pointSize;  // 0: the desktop's font
    bool dark;
};

const Look kLooks[] = {
    {"DesktopFont", 0, false},
    {"ElevenPoint", 11, false},
    {"TwelvePoint", 12, false},
    {"DarkPalette", 0, true},
};

// Laid out by hand for the picture, not a window of the program.
constexpr const char* kArrangedForThePicture = "custom-field-controls";

class WindowLayout : public testing::TestWithParam<Look> {};

TEST_P(WindowLayout, NothingIsClippedOverlappingOrOutsideItsParent)
{
    TestSupport::TempRoot root;
    TestSupport::Appearance look(GetParam().pointSize, GetParam().dark);
    size_t checked = 0;
    for (const auto& [name, maker] : Screenshots::Windows()) {
        if (name == kArrangedForThePicture)
            continue;
        SCOPED_TRACE(name);
        std::unique_ptr<QWidget> window = maker();
        window->show();
        QApplication::processEvents();
        std::string problems;
        for (const std::string& problem : TestSupport::LayoutProblems(*window))
            problems += "\n  " + problem;
        EXPECT_EQ(problems, "");
        ++checked;
    }
    EXPECT_GE(checked, 10u);
}

// A logo made for light windows (the shipped one's name is dark blue) lies
// on a light card of its own in a dark window.
TEST(WindowLayoutLogo, IsLegibleInADarkPalette)
{
    TestSupport::TempRoot root;
    for (bool dark : {false, true}) {
        SCOPED_TRACE(dark);
        TestSupport::Appearance look(0, dark);
        for (const auto& [name, maker] : Screenshots::Windows()) {
            if (name != "popup-job")
                continue;
            std::unique_ptr<QWidget> window = maker();
            auto* logo = window->findChild<QLabel*>(QStringLiteral("logo"));
            ASSERT_NE(logo, nullptr);
            const QImage image = logo->pixmap().toImage();
            ASSERT_FALSE(image.isNull());
            // Left of the picture, half way down: the window itself, or the card.
            const QColor beside = image.pixelColor(3, image.height() / 2);
            EXPECT_EQ(beside.alpha() == 255 && beside.lightness() > 200, dark) << beside.name(QColor::HexArgb).toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Looks, WindowLayout, testing::ValuesIn(kLooks), TestSupport::CaseName());

}  // namespace
