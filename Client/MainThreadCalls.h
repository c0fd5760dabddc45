#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

// Carries calls from other threads to the main thread and waits for their
// answers, as the user interface needs: only the main thread shows windows.
//
// Call, made on any other thread, queues the work, asks the main thread to
// run the queue (the poster) and blocks until the work has run there,
// including any modal window it shows, then returns the work's result. Made
// on the main thread it runs the work at once. Several threads may wait at
// the same time, each for its own answer.
//
// Works of the kind Window show a window: they run one at a time, in the
// order they came, so that the user answers one question after the other.
// Works of the kind Notice (a badge, a flag, the product name) never show a
// window and run even while a window is up, from the window's own event
// loop, so that they never wait for the user.
//
// CancelAll, at quit, answers every queued work with its cancelled answer at
// once, and from then on every call from another thread returns its
// cancelled answer without waiting, as does a Window call on the main
// thread. A work that is already running is not interrupted: its window must
// be closed (see MainThreadHandOver), and its caller gets what the closed
// window answers.
//
// No lock is held while a work runs. Made on the main thread; the poster
// must be callable from any thread and must not call back into this object.
class MainThreadCalls {
public:
    enum class Kind { Window, Notice };
    using Poster = std::function<void()>;

    explicit MainThreadCalls(Poster poster);
    MainThreadCalls(const MainThreadCalls&) = delete;
    MainThreadCalls& operator=(const MainThreadCalls&) = delete;

    bool IsMainThread() const { return std::this_thread::get_id() == mMainThread; }

    // Runs the work on the main thread and answers its result, or the
    // cancelled answer once calls are cancelled.
    template <typename Result>
    Result Call(Kind kind, std::function<Result()> work, Result cancelled)
    {
        std::optional<Result> result;
        bool ran = mCall(kind, [&] { result = work(); });
        return ran && result ? std::move(*result) : std::move(cancelled);
    }

    // Main thread: runs the queued works that may run now, in order.
    void RunPending();

    // Any thread: answers every waiting call as cancelled, and every later one.
    void CancelAll();
    // Any thread: answers the caller's queued calls as cancelled; whether a
    // window work of the caller is running now (its window must be closed).
    bool CancelCallsOf(std::thread::id caller);
    bool IsCancelled() const;

    // How many calls of other threads are waiting to run (for tests).
    size_t PendingCount() const;

private:
    // One call of another thread, on that thread's stack while it waits.
    struct Request {
        Kind kind;
        std::function<void()> run;
        std::thread::id caller;
        enum class State { Queued, Running, Done, Cancelled } state = State::Queued;
    };

    // Runs the work; false when it did not run because calls are cancelled.
    bool mCall(Kind kind, const std::function<void()>& work);
    bool mRunInline(Kind kind, const std::function<void()>& work);
    // The first queued request that may run now, taken off the queue; null
    // when none. Expects the lock held.
    Request* mTakeRunnableNoLock();

    const std::thread::id mMainThread;
    const Poster mPoster;

    mutable std::mutex mLock;
    std::condition_variable mAnswered;  // a request became Done or Cancelled
    std::deque<Request*> mQueue;        // guarded by the lock
    std::vector<Request*> mRunning;     // guarded by the lock; the works running now, innermost last
    int mintWindowsUp = 0;              // guarded by the lock; windows being shown on the main thread
    bool mblnCancelled = false;         // guarded by the lock
};
