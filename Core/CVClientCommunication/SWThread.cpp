#include "Core/CVClientCommunication/SWThread.h"

// Stops a thread that still runs without waiting, then reclaims one that has
// ended: a thread is joined before its object goes.
SWThread::~SWThread()
{
    Terminate(false);
    mJoinUnlessSelf();
}

// Starts the thread unless it already runs.
void SWThread::Start()
{
    std::unique_lock lock(mMutex);
    if (mblnRunning)
        return;
    // A previous thread (ended by itself, or told to stop without waiting)
    // is reclaimed before the handle takes a new one; it needs the mutex to
    // finish, so the join happens outside it.
    if (mThread.joinable()) {
        std::thread previous = std::move(mThread);
        lock.unlock();
        if (previous.get_id() == std::this_thread::get_id())
            previous.detach();
        else
            previous.join();
        lock.lock();
        if (mblnRunning)
            return;
    }
    mblnRunning = true;
    mThread = std::thread([this] {
        Run();
        std::lock_guard bodyLock(mMutex);
        mblnRunning = false;
    });
}

// Clears the running flag, lets the subclass stop its work and, when asked,
// waits for the thread. A thread that is no longer running is left alone.
void SWThread::Terminate(bool wait)
{
    if (!mblnRunning)
        return;
    {
        std::lock_guard lock(mMutex);
        if (!mblnRunning)
            return;
        mblnRunning = false;
    }
    Shutdown(wait);
    if (wait)
        mJoinUnlessSelf();
}

// Nothing to stop in the base.
void SWThread::Shutdown(bool /*wait*/) {}

// Joins the thread; a thread that stops or deletes itself cannot join itself
// and is detached instead, as it is about to end anyway.
void SWThread::mJoinUnlessSelf()
{
    if (!mThread.joinable())
        return;
    if (mThread.get_id() == std::this_thread::get_id())
        mThread.detach();
    else
        mThread.join();
}
