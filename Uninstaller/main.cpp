// Uninstall: removes the installation with an administrator's rights, then
// offers to restart the computer.
#include "Platform/Qt/ClassicNumbers.h"
#include "Uninstaller/AppDelegate.h"
#include "Uninstaller/UninstallWindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Uninstall"));
    Platform::KeepClassicNumbers();
    UninstallWindow window;
    AppDelegate delegate(window);
    delegate.awakeFromNib();
    window.show();
    return QApplication::exec();
}
