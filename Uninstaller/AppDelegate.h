#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <string>
#include <sys/types.h>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;
class UninstallWindow;

// Uninstall's application delegate, also the delegate of its one window. The
// user confirms with the Uninstall button; the uninstall script of the
// installation then runs as root once an administrator has authenticated,
// the window shows how it went, and after a removal the button turned into
// Close offers to restart the computer. Closing the window ends the program.
//
// Window states: ready (both buttons enabled, no progress) -> running (both
// disabled, progress moving) -> done (the Uninstall button is the Close
// button, the success text) or failed (only Cancel enabled, the error text).
// An authentication that was refused or dismissed goes back to ready, so the
// user may try again or cancel.
//
// The script runs on the main thread, which waits for it; the success update
// is made by a worker thread and carried to the main thread, which that
// thread waits for. Everything else runs on the main thread.
class AppDelegate : public QObject {
public:
    // The window must outlive the delegate. scriptOwner is the user that the
    // uninstall script and every folder on its path must belong to: root,
    // whose rights the script runs with.
    explicit AppDelegate(UninstallWindow& window, QObject* parent = nullptr, uid_t scriptOwner = 0);
    ~AppDelegate() override;
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Reads the product name and puts the texts into the window, which is
    // then ready.
    void awakeFromNib();

    // The Uninstall button's action: runs the uninstall script as root.
    void uninstall();

    // Run on a worker thread after a removal: shows the done state.
    void waitForScript();

    // The Close button's action after a removal: asks whether to restart
    // now, restarts when asked to, and closes the window.
    void close();

    // The window is closing: the program ends.
    void windowWillClose();

    // The window's states, each complete in itself.
    void showReadyState();
    void showRunningState();
    void showDoneState();
    void showFailedState();

    // Where the uninstall script lies: in the resources of the install folder.
    static std::string uninstallerScriptPath();

    UninstallWindow& window() const { return _window; }

private:
    bool eventFilter(QObject* watched, QEvent* event) override;

    QString _productName;
    QLabel* _welcomeText;
    QPushButton* _cancelButton;
    QLabel* _helpText;
    QPushButton* _uninstallButton;
    QPointer<QProgressBar> _uninstallProgress;
    UninstallWindow& _window;

    const uid_t mScriptOwner;
    // The Uninstall button's current action: uninstall, then close.
    QMetaObject::Connection mUninstallAction;
    // The worker that runs waitForScript; waited for before the delegate goes.
    std::thread mScriptWaiter;
    std::atomic<bool> mblnScriptWaiterDone{false};
};
