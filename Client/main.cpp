// Quorvel Client: the per-user print-accounting agent. It starts only when
// the preferences name the server; then the application delegate launches
// the core from the event loop and shuts it down once the loop has ended.
#include "Client/ApplicationController.h"
#include "Client/CanLaunch.h"
#include "Core/Services/ClientInstance.h"
#include "Core/Services/JobHandler.h"
#include "Platform/Folders.h"
#include "Platform/ApplicationBundle.h"
#include "Platform/Qt/ClassicNumbers.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <utility>
#include <cstdio>
#include <cstdlib>

namespace {

bool Set(const char* variable)
{
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

}  // namespace

int main(int argc, char** argv)
{
    if (!CanLaunch())
        return 0;
    // Qt would abort on a display it cannot open; without any display to
    // open the client ends with one line (its unit refuses to start it).
    if (!Set("QT_QPA_PLATFORM") && !Set("DISPLAY") && !Set("WAYLAND_DISPLAY")) {
        std::fputs("Quorvel Client: no display (DISPLAY and WAYLAND_DISPLAY are unset); it does not start.\n", stderr);
        return 1;
    }
    // One client per user: a second one has told why and ends.
    auto instance = CVCoreDataServices::ClaimClientInstance(Platform::FolderPath(Platform::Folder::UserData));
    if (!instance)
        return 1;
    QApplication application(argc, argv);
    Platform::KeepClassicNumbers();
    // Alerts come and go; the program lives on without a window.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationVersion(QStringLiteral(CVK_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/quorvel.png")));

    ApplicationController controller(
        Platform::ApplicationBundle::PathOfProgram(QApplication::applicationFilePath().toStdString()),
        CVCoreDataServices::JobHandler::Factory());
    // The product's name names the alerts. It is not set as the display
    // name, which the desktop would append to every window title, each of
    // which already names the brand.
    controller.KeepInstanceLock(std::move(instance));
    QApplication::setApplicationName(controller.getProductName());
    QTimer::singleShot(0, &controller, [&controller] { controller.applicationDidFinishLaunching(); });
    return QApplication::exec();
}
