#include "Client/MainThreadCalls.h"

#include <algorithm>

MainThreadCalls::MainThreadCalls(Poster poster) : mMainThread(std::this_thread::get_id()), mPoster(std::move(poster))
{
}

bool MainThreadCalls::mCall(Kind kind, const std::function<void()>& work)
{
    if (IsMainThread())
        return mRunInline(kind, work);

    Request request{kind, work, std::this_thread::get_id()};
    {
        std::lock_guard lock(mLock);
        if (mblnCancelled)
            return false;
        mQueue.push_back(&request);
    }
    mPoster();
    std::unique_lock lock(mLock);
    mAnswered.wait(lock, [&] {
        return request.state == Request::State::Done || request.state == Request::State::Cancelled;
    });
    return request.state == Request::State::Done;
}

// A call of the main thread itself. A window shown here holds back the
// queued windows like one shown for another thread; they are asked for again
// once it has closed.
bool MainThreadCalls::mRunInline(Kind kind, const std::function<void()>& work)
{
    if (kind == Kind::Notice) {
        work();
        return true;
    }
    {
        std::lock_guard lock(mLock);
        if (mblnCancelled)
            return false;
        ++mintWindowsUp;
    }
    struct WindowDown {
        MainThreadCalls& calls;
        ~WindowDown()
        {
            bool queued;
            {
                std::lock_guard lock(calls.mLock);
                --calls.mintWindowsUp;
                queued = !calls.mQueue.empty();
            }
            if (queued)
                calls.mPoster();
        }
    } windowDown{*this};
    work();
    return true;
}

void MainThreadCalls::RunPending()
{
    for (;;) {
        Request* request = nullptr;
        {
            std::lock_guard lock(mLock);
            request = mTakeRunnableNoLock();
            if (request == nullptr)
                return;
            request->state = Request::State::Running;
            mRunning.push_back(request);
            if (request->kind == Kind::Window)
                ++mintWindowsUp;
        }
        // Whatever happens in the work, its caller is answered.
        struct Answer {
            MainThreadCalls& calls;
            Request& request;
            ~Answer()
            {
                {
                    std::lock_guard lock(calls.mLock);
                    if (request.kind == Kind::Window)
                        --calls.mintWindowsUp;
                    std::erase(calls.mRunning, &request);
                    request.state = Request::State::Done;
                }
                calls.mAnswered.notify_all();
            }
        } answer{*this, *request};
        request->run();
    }
}

MainThreadCalls::Request* MainThreadCalls::mTakeRunnableNoLock()
{
    auto runnable = std::find_if(mQueue.begin(), mQueue.end(), [this](const Request* request) {
        return request->kind == Kind::Notice || mintWindowsUp == 0;
    });
    if (runnable == mQueue.end())
        return nullptr;
    Request* request = *runnable;
    mQueue.erase(runnable);
    return request;
}

void MainThreadCalls::CancelAll()
{
    {
        std::lock_guard lock(mLock);
        mblnCancelled = true;
        for (Request* request : mQueue)
            request->state = Request::State::Cancelled;
        mQueue.clear();
    }
    mAnswered.notify_all();
}

bool MainThreadCalls::CancelCallsOf(std::thread::id caller)
{
    bool running = false;
    {
        std::lock_guard lock(mLock);
        std::erase_if(mQueue, [caller](Request* request) {
            if (request->caller != caller)
                return false;
            request->state = Request::State::Cancelled;
            return true;
        });
        running = std::any_of(mRunning.begin(), mRunning.end(), [caller](const Request* request) {
            return request->caller == caller && request->kind == Kind::Window;
        });
    }
    mAnswered.notify_all();
    return running;
}

bool MainThreadCalls::IsCancelled() const
{
    std::lock_guard lock(mLock);
    return mblnCancelled;
}

size_t MainThreadCalls::PendingCount() const
{
    std::lock_guard lock(mLock);
    return mQueue.size();
}
