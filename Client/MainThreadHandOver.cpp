#include "Client/MainThreadHandOver.h"

#include "Platform/Qt/FrontWindow.h"

#include <QApplication>
#include <QDialog>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <algorithm>

MainThreadHandOver::MainThreadHandOver()
    : mCalls([this] {
          QMetaObject::invokeMethod(&mContext, [this] { mCalls.RunPending(); }, Qt::QueuedConnection);
      })
{
}

void MainThreadHandOver::Cancel()
{
    mCalls.CancelAll();
    if (mCalls.IsMainThread())
        CloseModalWindows();
    else
        QMetaObject::invokeMethod(&mContext, &MainThreadHandOver::CloseModalWindows, Qt::QueuedConnection);
}

// Rejects the modal dialogs; each one's event loop then ends, so the code
// that showed it goes on with the answer of a closed window.
void MainThreadHandOver::CloseModalWindows()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets())
        windows.append(window);
    for (const QPointer<QWidget>& guard : windows) {
        if (guard && guard->isVisible() && guard->isModal()) {
            if (auto* dialog = qobject_cast<QDialog*>(guard.data()))
                dialog->reject();
            else
                guard->close();
        }
    }
}

void MainThreadHandOver::CancelCallsOf(std::thread::id caller)
{
    if (!mCalls.CancelCallsOf(caller))
        return;
    QMetaObject::invokeMethod(&mContext, [this, caller] { mCloseWindowsOf(caller); }, Qt::QueuedConnection);
}

MainThreadHandOver::WindowsOf::WindowsOf(MainThreadHandOver& handOver, std::thread::id caller) : mHandOver(handOver)
{
    WindowScope scope{caller, {}};
    for (QWidget* window : QApplication::topLevelWidgets())
        scope.before.append(window);
    mHandOver.mWindowScopes.push_back(std::move(scope));
}

MainThreadHandOver::WindowsOf::~WindowsOf()
{
    mHandOver.mWindowScopes.pop_back();
}

// The windows opened since the caller's work began (its window and any
// sheet or alert on it); the windows that stood before stay up.
void MainThreadHandOver::mCloseWindowsOf(std::thread::id caller)
{
    auto scope = std::find_if(mWindowScopes.begin(), mWindowScopes.end(),
                              [caller](const WindowScope& window) { return window.caller == caller; });
    if (scope == mWindowScopes.end())
        return;
    QList<QPointer<QWidget>> opened;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (!scope->before.contains(window) && window->isVisible() && window->isModal())
            opened.append(window);
    for (const QPointer<QWidget>& guard : opened) {
        if (!guard || !guard->isVisible())
            continue;
        if (auto* dialog = qobject_cast<QDialog*>(guard.data()))
            dialog->reject();
        else
            guard->close();
    }
}

void MainThreadHandOver::mAskForTheUser()
{
    if (mCalls.IsMainThread())
        return;
    QMetaObject::invokeMethod(&mContext, &Platform::BringWaitingWindowsToFront, Qt::QueuedConnection);
}
