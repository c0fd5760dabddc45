// The entry of the test programs with windows: one QApplication on Qt's
// offscreen platform (no display needed) for all the tests of the program,
// which run on its main thread. The numeric locale is set back as the
// programs set it.
#include "Platform/Qt/ClassicNumbers.h"
#include "tests/Support/Gui/OffscreenPlatform.h"

#include <QApplication>
#include <QtGlobal>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    TestSupport::UseOffscreenPlatform();
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    Platform::KeepClassicNumbers();
    return RUN_ALL_TESTS();
}
