#pragma once

#include "Client/MainThreadCalls.h"

#include <QObject>

#include <functional>
#include <utility>

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
        return mCalls.Call<Result>(kind, std::move(work), std::move(cancelled));
    }

    void Cancel();
    bool IsCancelled() const { return mCalls.IsCancelled(); }
    bool IsMainThread() const { return mCalls.IsMainThread(); }
    size_t PendingCount() const { return mCalls.PendingCount(); }

    // Closes every modal window that is up, as if the user had closed it.
    // Main thread only.
    static void CloseModalWindows();

private:
    // Lives on the main thread; posted work addressed to it is dropped once
    // it is gone.
    QObject mContext;
    MainThreadCalls mCalls;
};
