#include "Client/MainThreadHandOver.h"

#include <QApplication>
#include <QDialog>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

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
