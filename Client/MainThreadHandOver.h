#pragma once

#include "Client/MainThreadCalls.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <thread>
#include <utility>
#include <vector>

// The hand-over of the user interface's calls to Qt's main thread: the
// queue of MainThreadCalls, run from Qt's event loop (also from the loop of
// a modal window). Made on the main thread, after the application object.
//
// Cancel, at quit, answers every waiting call as cancelled and closes the
// windows that are up, so that their callers get the answer of a closed
// window; it may be called from any thread.
class MainThreadHandOver {
public:
    using Kind = MainThreadCalls::Kind;

    MainThreadHandOver();
    MainThreadHandOver(const MainThreadHandOver&) = delete;
    MainThreadHandOver& operator=(const MainThreadHandOver&) = delete;

    // Runs the work on the main thread and answers its result; see
    // MainThreadCalls::Call.
    template <typename Result>
    Result Call(Kind kind, std::function<Result()> work, Result cancelled)
    {
        if (kind == Kind::Window) {
            mAskForTheUser();
            work = [this, caller = std::this_thread::get_id(), work = std::move(work)] {
                WindowsOf windows(*this, caller);
                return work();
            };
        }
        return mCalls.Call<Result>(kind, std::move(work), std::move(cancelled));
    }

    void Cancel();
    // The call the thread waits in is no longer wanted: queued, it returns
    // at once; running, the windows it opened close as if the user had
    // closed them. Any thread.
    void CancelCallsOf(std::thread::id caller);
    bool IsCancelled() const { return mCalls.IsCancelled(); }
    bool IsMainThread() const { return mCalls.IsMainThread(); }
    size_t PendingCount() const { return mCalls.PendingCount(); }

    // Closes every modal window that is up, as if the user had closed it.
    // Main thread only.
    static void CloseModalWindows();

private:
    // The windows that stood before a window work of a caller began, so
    // that the ones it opened can be told apart (main thread only).
    struct WindowScope {
        std::thread::id caller;
        QList<QPointer<QWidget>> before;
    };
    class WindowsOf {
    public:
        WindowsOf(MainThreadHandOver& handOver, std::thread::id caller);
        ~WindowsOf();
        WindowsOf(const WindowsOf&) = delete;
        WindowsOf& operator=(const WindowsOf&) = delete;

    private:
        MainThreadHandOver& mHandOver;
    };
    // Closes the modal windows opened during the caller's window work.
    void mCloseWindowsOf(std::thread::id caller);
    // Another question of another thread is coming: a window that waits for
    // the user meanwhile comes back in front, restored when minimized, or
    // the new question would wait unseen behind it.
    void mAskForTheUser();

    // Lives on the main thread; posted work addressed to it is dropped once
    // it is gone.
    QObject mContext;
    MainThreadCalls mCalls;
    std::vector<WindowScope> mWindowScopes;  // main thread only; innermost last
};
