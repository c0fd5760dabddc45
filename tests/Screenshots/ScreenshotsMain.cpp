// cvk_screenshots: renders the windows of the client and of Uninstall on Qt's
// offscreen platform into PNG files, so that an administrator sees what users
// will see before deploying. Usage: cvk_screenshots [--font-size POINTS]
// [--dark] [folder] (default: the current folder): the windows with the
// desktop's font at that size, in a dark palette. QT_SCALE_FACTOR scales
// them as a high-resolution screen does.
#include "tests/Screenshots/Screenshots.h"
#include "tests/Support/Gui/Appearance.h"
#include "tests/Support/Gui/OffscreenPlatform.h"
#include "tests/Support/TempRoot.h"

#include "Platform/Qt/ClassicNumbers.h"

#include <QApplication>
#include <QPixmap>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

// The windows keep the records they show for the life of the program, as
// the pictures need: not leaks to report.
extern "C" const char* __lsan_default_options()
{
    return "detect_leaks=0";
}

int main(int argc, char** argv)
{
    TestSupport::UseOffscreenPlatform();
    QApplication application(argc, argv);
    Platform::KeepClassicNumbers();
    double pointSize = 0;
    bool dark = false;
    std::filesystem::path folder = ".";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--font-size") == 0 && i + 1 < argc)
            pointSize = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--dark") == 0)
            dark = true;
        else
            folder = argv[i];
    }
    TestSupport::Appearance appearance(pointSize, dark);
    // Windows that read caches or preferences find an empty private root.
    TestSupport::TempRoot root;
    std::filesystem::create_directories(folder);
    int failures = 0;
    for (const auto& [name, maker] : Screenshots::Windows()) {
        std::unique_ptr<QWidget> window = maker();
        window->show();
        QApplication::processEvents();
        std::filesystem::path file = folder / (name + ".png");
        if (window->grab().save(QString::fromStdString(file.string()), "PNG")) {
            std::printf("%s\n", file.c_str());
        } else {
            std::fprintf(stderr, "cvk_screenshots: cannot write %s\n", file.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
