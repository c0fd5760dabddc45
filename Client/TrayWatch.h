#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QDBusServiceWatcher;

// Watches for a system tray without asking Qt, and calls back once one is
// there: an X tray manager (the owner of the screen's "_NET_SYSTEM_TRAY_S<n>"
// selection, looked for once a second on X) or a StatusNotifierItem watcher
// on the session bus with a host registered (a panel that shows the items).
//
// Qt decides once per process, at its first tray question (an availability
// check or the first QSystemTrayIcon), whether the D-Bus tray exists, and
// never asks again; a client that asked before the panel started would never
// get its icon on a D-Bus-only desktop. So the tray icon is made, and Qt
// asked, only once this watch has seen a tray.
//
// Made and used on the main thread; the callback runs there, at most once.
class TrayWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int XLookIntervalMs = 1000;
    // How long the watcher may take to answer whether a host is registered.
    static constexpr int AnswerLimitMs = 2000;

    TrayWatch();
    ~TrayWatch() override;
    TrayWatch(const TrayWatch&) = delete;
    TrayWatch& operator=(const TrayWatch&) = delete;

    // Whether a tray is there now.
    bool TrayPresent() const;
    // Calls onAppeared once a tray is there, then stops watching.
    void WaitForTray(std::function<void()> onAppeared);

private Q_SLOTS:
    // The watcher's StatusNotifierHostRegistered signal.
    void mHostRegistered();

private:
    bool mXTrayPresent() const;
    bool mStatusNotifierHostPresent() const;
    void mAppeared();

    std::function<void()> mOnAppeared;
    QTimer mXLook;
    std::unique_ptr<QDBusServiceWatcher> mWatcher;
};
