// cvk_screenshots: renders the windows of the client and of Uninstall on Qt's
// offscreen platform into PNG files, so that an administrator sees what users
// will see before deploying. Usage: cvk_screenshots [folder] (default: the
// current folder).
#include "tests/Screenshots/Screenshots.h"
#include "tests/Support/TempRoot.h"

#include "Platform/Qt/ClassicNumbers.h"

#include <QApplication>
#include <QPixmap>
#include <QtGlobal>

#include <cstdio>
#include <filesystem>
#include <utility>
#include <vector>

namespace Screenshots {
namespace {

std::vector<std::pair<std::string, WindowMaker>>& Makers()
{
    static std::vector<std::pair<std::string, WindowMaker>> makers;
    return makers;
}

}  // namespace

void Register(std::string name, WindowMaker maker)
{
    Makers().emplace_back(std::move(name), std::move(maker));
}

}  // namespace Screenshots

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Platform::KeepClassicNumbers();
    // Windows that read caches or preferences find an empty private root.
    TestSupport::TempRoot root;
    std::filesystem::path folder = argc > 1 ? argv[1] : ".";
    std::filesystem::create_directories(folder);
    int failures = 0;
    for (const auto& [name, maker] : Screenshots::Makers()) {
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
