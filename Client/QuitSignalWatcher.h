#pragma once

#include <QSocketNotifier>

#include <functional>
#include <memory>
#include <signal.h>

// Turns SIGTERM and SIGINT (what "systemctl --user stop" and the end of a
// session send, or Ctrl-C) into a call on the main thread, the way the
// application's quit event arrives: the signal handler only writes a byte
// to a socket pair that the main thread's event loop watches. The previous
// handlers come back when the watcher goes. One watcher at a time; made and
// destroyed on the main thread.
class QuitSignalWatcher {
public:
    explicit QuitSignalWatcher(std::function<void()> onQuit);
    ~QuitSignalWatcher();
    QuitSignalWatcher(const QuitSignalWatcher&) = delete;
    QuitSignalWatcher& operator=(const QuitSignalWatcher&) = delete;

    // False when the socket pair or the handlers could not be set up.
    bool Watching() const { return mNotifier != nullptr; }

private:
    void mReceived();

    std::function<void()> mOnQuit;
    int mSockets[2] = {-1, -1};
    struct sigaction mOldTerm {};
    struct sigaction mOldInt {};
    std::unique_ptr<QSocketNotifier> mNotifier;
};
