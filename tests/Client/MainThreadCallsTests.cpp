// The hand-over of calls to the main thread, with a plain thread standing in
// for the main thread's event loop (so that it also runs under
// ThreadSanitizer): answers per caller, inline calls, one window at a time
// with notices passing, and cancelling at quit.
#include "Client/MainThreadCalls.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Kind = MainThreadCalls::Kind;
constexpr int kCancelled = -1;

// A thread that runs like a main thread: it owns the MainThreadCalls, runs
// its queue whenever it is posted to, and runs tasks given to it.
class FakeMainThread {
public:
    FakeMainThread()
    {
        std::promise<void> made;
        mThread = std::thread([this, &made] {
            mCalls = std::make_unique<MainThreadCalls>([this] { Post(nullptr); });
            made.set_value();
            mLoop();
        });
        made.get_future().wait();
    }

    ~FakeMainThread()
    {
        {
            std::lock_guard lock(mLock);
            mblnStop = true;
        }
        mWake.notify_all();
        mThread.join();
    }

    MainThreadCalls& Calls() { return *mCalls; }
    std::thread::id Id() const { return mThread.get_id(); }

    // Runs a task on the main thread and waits for it.
    void RunAndWait(std::function<void()> task)
    {
        std::promise<void> done;
        Post([&] {
            task();
            done.set_value();
        });
        done.get_future().wait();
    }

    // While paused the loop takes no posted calls (tasks still run).
    void SetPaused(bool paused)
    {
        {
            std::lock_guard lock(mLock);
            mblnPaused = paused;
        }
        mWake.notify_all();
    }

    int Posts() const { return mintPosts; }

    // Queues a task; null asks for the calls' queue to be run.
    void Post(std::function<void()> task)
    {
        {
            std::lock_guard lock(mLock);
            if (task)
                mTasks.push_back(std::move(task));
            else
                ++mintRunRequests;
        }
        ++mintPosts;
        mWake.notify_all();
    }

private:
    void mLoop()
    {
        std::unique_lock lock(mLock);
        for (;;) {
            mWake.wait(lock, [&] { return mblnStop || !mTasks.empty() || (mintRunRequests > 0 && !mblnPaused); });
            if (mblnStop)
                return;
            if (!mTasks.empty()) {
                auto task = std::move(mTasks.front());
                mTasks.erase(mTasks.begin());
                lock.unlock();
                task();
                lock.lock();
                continue;
            }
            mintRunRequests = 0;
            lock.unlock();
            mCalls->RunPending();
            lock.lock();
        }
    }

    std::unique_ptr<MainThreadCalls> mCalls;
    std::thread mThread;
    std::mutex mLock;
    std::condition_variable mWake;
    std::vector<std::function<void()>> mTasks;
    int mintRunRequests = 0;
    bool mblnPaused = false;
    bool mblnStop = false;
    std::atomic<int> mintPosts{0};
};

// A gate that a test opens once.
class Gate {
public:
    void Open()
    {
        {
            std::lock_guard lock(mLock);
            mblnOpen = true;
        }
        mOpened.notify_all();
    }
    void Wait()
    {
        std::unique_lock lock(mLock);
        mOpened.wait(lock, [&] { return mblnOpen; });
    }
    bool IsOpen()
    {
        std::lock_guard lock(mLock);
        return mblnOpen;
    }

private:
    std::mutex mLock;
    std::condition_variable mOpened;
    bool mblnOpen = false;
};

// Waits until the condition holds (the test's time limit ends a failure).
template <typename Condition>
void WaitFor(Condition condition)
{
    while (!condition())
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

TEST(MainThreadCallsTest, SeveralThreadsWaitAtOnceEachForItsOwnAnswer)
{
    FakeMainThread main;
    constexpr int kThreads = 8;
    std::vector<std::future<std::pair<int, std::thread::id>>> answers;
    for (int i = 0; i < kThreads; ++i) {
        answers.push_back(std::async(std::launch::async, [&main, i] {
            std::thread::id ranOn;
            int answer = main.Calls().Call<int>(
                i % 2 == 0 ? Kind::Window : Kind::Notice,
                [&] {
                    ranOn = std::this_thread::get_id();
                    return i * i;
                },
                kCancelled);
            return std::make_pair(answer, ranOn);
        }));
    }
    for (int i = 0; i < kThreads; ++i) {
        auto [answer, ranOn] = answers[i].get();
        EXPECT_EQ(answer, i * i);
        EXPECT_EQ(ranOn, main.Id());
    }
}

TEST(MainThreadCallsTest, ACallOnTheMainThreadRunsInline)
{
    FakeMainThread main;
    int postsBefore = main.Posts();
    main.RunAndWait([&] {
        int answer = main.Calls().Call<int>(Kind::Window, [] { return 7; }, kCancelled);
        EXPECT_EQ(answer, 7);
        EXPECT_EQ(main.Calls().Call<int>(Kind::Notice, [] { return 8; }, kCancelled), 8);
    });
    EXPECT_EQ(main.Posts(), postsBefore + 1);  // the task itself; the calls posted nothing
}

// While a window is up (its work runs the queue from its own loop, as a
// modal window's event loop does), a second window waits for it, and a
// notice passes.
TEST(MainThreadCallsTest, WindowsComeOneAtATimeWhileNoticesPass)
{
    FakeMainThread main;
    Gate firstAnswered;
    std::atomic<bool> firstUp{false};
    std::atomic<bool> secondRan{false};
    auto first = std::async(std::launch::async, [&] {
        return main.Calls().Call<int>(
            Kind::Window,
            [&] {
                firstUp = true;
                while (!firstAnswered.IsOpen()) {
                    main.Calls().RunPending();
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                return 1;
            },
            kCancelled);
    });
    WaitFor([&] { return firstUp.load(); });
    auto second = std::async(std::launch::async, [&] {
        return main.Calls().Call<int>(Kind::Window, [&] {
            secondRan = true;
            return 2;
        }, kCancelled);
    });
    WaitFor([&] { return main.Calls().PendingCount() == 1; });
    int notice = main.Calls().Call<int>(Kind::Notice, [] { return 3; }, kCancelled);
    EXPECT_EQ(notice, 3);
    EXPECT_FALSE(secondRan);
    firstAnswered.Open();
    EXPECT_EQ(first.get(), 1);
    EXPECT_EQ(second.get(), 2);
}

// At quit the queued calls are answered as cancelled at once, later calls
// do not wait, and the main thread opens no more windows.
TEST(MainThreadCallsTest, CancellingAnswersWaitingAndLaterCalls)
{
    FakeMainThread main;
    main.SetPaused(true);
    std::atomic<int> ran{0};
    std::vector<std::future<int>> waiting;
    for (int i = 0; i < 3; ++i)
        waiting.push_back(std::async(std::launch::async, [&] {
            return main.Calls().Call<int>(Kind::Window, [&] { return ++ran; }, kCancelled);
        }));
    WaitFor([&] { return main.Calls().PendingCount() == 3; });
    main.Calls().CancelAll();
    for (auto& answer : waiting)
        EXPECT_EQ(answer.get(), kCancelled);

    EXPECT_EQ(main.Calls().Call<int>(Kind::Notice, [&] { return ++ran; }, kCancelled), kCancelled);
    main.RunAndWait([&] {
        EXPECT_EQ(main.Calls().Call<int>(Kind::Window, [&] { return ++ran; }, kCancelled), kCancelled);
        EXPECT_EQ(main.Calls().Call<int>(Kind::Notice, [] { return 5; }, kCancelled), 5);
    });
    EXPECT_EQ(ran, 0);
    main.SetPaused(false);
}

}  // namespace
