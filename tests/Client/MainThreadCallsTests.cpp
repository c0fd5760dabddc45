// The hand-over of calls to the main thread, with a plain thread standing in
// for the main thread's event loop (so that it also runs under
// ThreadSanitizer): answers per caller, inline calls, one window at a time
// with notices passing, and cancelling at quit.
#include "Client/MainThreadCalls.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Kind = MainThreadCalls::Kind;
constexpr int kCancelled = -1;

// A thread that runs like a main thread: it owns the MainThreadCalls and
// runs the tasks posted to it in order, among them the calls' queue
// whenever the calls ask for it.
class FakeMainThread {
public:
    FakeMainThread()
    {
        std::promise<void> made;
        mThread = std::thread([this, &made] {
            mCalls = std::make_unique<MainThreadCalls>([this] { Post([this] { mCalls->RunPending(); }); });
            made.set_value();
            mLoop();
        });
        made.get_future().wait();
    }

    ~FakeMainThread()
    {
        Post(nullptr);
        mThread.join();
    }

    MainThreadCalls& Calls() { return *mCalls; }
    std::thread::id Id() const { return mThread.get_id(); }
    int Posts() const { return mintPosts; }

    // Queues a task; null ends the loop.
    void Post(std::function<void()> task)
    {
        {
            std::lock_guard lock(mLock);
            mTasks.push_back(std::move(task));
        }
        ++mintPosts;
        mPosted.notify_all();
    }

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

private:
    void mLoop()
    {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock lock(mLock);
                mPosted.wait(lock, [&] { return !mTasks.empty(); });
                task = std::move(mTasks.front());
                mTasks.pop_front();
            }
            if (!task)
                return;
            task();
        }
    }

    std::unique_ptr<MainThreadCalls> mCalls;
    std::thread mThread;
    std::mutex mLock;
    std::condition_variable mPosted;
    std::deque<std::function<void()>> mTasks;
    std::atomic<int> mintPosts{0};
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

// A window call that stays up, running the queue from its own loop as a
// modal window's event loop does, until it is answered; it answers 1.
int WindowUntil(FakeMainThread& main, std::atomic<bool>& up, const std::atomic<bool>& answered)
{
    return main.Calls().Call<int>(
        Kind::Window,
        [&] {
            up = true;
            while (!answered) {
                main.Calls().RunPending();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            return 1;
        },
        kCancelled);
}

// While a window is up (its work runs the queue from its own loop, as a
// modal window's event loop does), a second window waits for it, and a
// notice passes.
TEST(MainThreadCallsTest, WindowsComeOneAtATimeWhileNoticesPass)
{
    FakeMainThread main;
    std::atomic<bool> firstAnswered{false};
    std::atomic<bool> firstUp{false};
    std::atomic<bool> secondRan{false};
    auto first = std::async(std::launch::async, [&] { return WindowUntil(main, firstUp, firstAnswered); });
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
    firstAnswered = true;
    EXPECT_EQ(first.get(), 1);
    EXPECT_EQ(second.get(), 2);
}

// At quit the queued calls are answered as cancelled at once, later calls
// do not wait, and the main thread opens no more windows.
TEST(MainThreadCallsTest, CancellingAnswersWaitingAndLaterCalls)
{
    FakeMainThread main;
    std::atomic<bool> busy{true};
    main.Post([&] {
        while (busy)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
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
    busy = false;

    EXPECT_EQ(main.Calls().Call<int>(Kind::Notice, [&] { return ++ran; }, kCancelled), kCancelled);
    main.RunAndWait([&] {
        EXPECT_EQ(main.Calls().Call<int>(Kind::Window, [&] { return ++ran; }, kCancelled), kCancelled);
        EXPECT_EQ(main.Calls().Call<int>(Kind::Notice, [] { return 5; }, kCancelled), 5);
    });
    EXPECT_EQ(ran, 0);
}

// One caller's calls are cancelled (its job's hook went): its queued call
// is answered at once and the running window of another caller is told
// apart from its own; the other callers go on.
TEST(MainThreadCallsTest, CancellingOneCallerLeavesTheOthers)
{
    FakeMainThread main;
    std::atomic<bool> firstAnswered{false};
    std::atomic<bool> firstUp{false};
    std::promise<std::thread::id> firstCaller;
    auto first = std::async(std::launch::async, [&] {
        firstCaller.set_value(std::this_thread::get_id());
        return WindowUntil(main, firstUp, firstAnswered);
    });
    std::thread::id firstId = firstCaller.get_future().get();
    WaitFor([&] { return firstUp.load(); });
    std::promise<std::thread::id> secondCaller;
    auto second = std::async(std::launch::async, [&] {
        secondCaller.set_value(std::this_thread::get_id());
        return main.Calls().Call<int>(Kind::Window, [] { return 2; }, kCancelled);
    });
    std::thread::id secondId = secondCaller.get_future().get();
    WaitFor([&] { return main.Calls().PendingCount() == 1; });
    EXPECT_FALSE(main.Calls().CancelCallsOf(secondId));  // queued, not running
    EXPECT_EQ(second.get(), kCancelled);
    EXPECT_TRUE(main.Calls().CancelCallsOf(firstId));  // its window is up
    firstAnswered = true;
    EXPECT_EQ(first.get(), 1);
    EXPECT_EQ(main.Calls().Call<int>(Kind::Notice, [] { return 3; }, kCancelled), 3);
}

}  // namespace
