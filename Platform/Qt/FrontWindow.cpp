#include "Platform/Qt/FrontWindow.h"

#include <QApplication>
#include <QWidget>

namespace Platform {

void BringToFront(QWidget& window)
{
    if (window.windowState() & Qt::WindowMinimized)
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

// A sheet's window goes with its window: both come back, the window below.
bool BringWaitingWindowsToFront()
{
    QWidget* answering = QApplication::activeModalWidget();
    bool any = false;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == answering || !window->isVisible() || !window->isModal())
            continue;
        BringToFront(*window);
        any = true;
    }
    if (answering != nullptr && answering->isVisible()) {
        BringToFront(*answering);
        any = true;
    }
    return any;
}

}  // namespace Platform
