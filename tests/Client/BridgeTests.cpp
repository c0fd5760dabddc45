// The bridge between the core and the application delegate: calls from job
// threads reach the delegate on the main thread, and the localised string
// never waits for it.
#include "Client/ApplicationController.h"
#include "Client/UIControllerBridge.h"

#include <QApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace {

constexpr auto kLimit = std::chrono::seconds(30);

// Runs the main thread's event loop until the answer is in.
template <typename Answer>
bool ProcessEventsUntilReady(std::future<Answer>& answer)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (answer.wait_for(std::chrono::seconds(0)) != std::future_status::ready
           && elapsed.elapsed() < std::chrono::milliseconds(kLimit).count())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

class BridgeTest : public testing::Test {
protected:
    ApplicationController mController{"/nonexistent", {}};
    UIControllerBridge mBridge{mController};
};

TEST_F(BridgeTest, NoticesFromAJobThreadReachTheDelegateOnTheMainThread)
{
    auto done = std::async(std::launch::async, [this] {
        mBridge.BatchStarted();
        mBridge.HavePendingJobs(CVCoreDataServices::PendingJobsSnoozed);
        mBridge.SetUsingBalances(true);
        return mBridge.GetProductName();
    });
    ASSERT_TRUE(ProcessEventsUntilReady(done));
    EXPECT_EQ(done.get(), "Quorvel Client");
    EXPECT_TRUE(mController.isInBatch());
    EXPECT_TRUE(mController.hasPendingJobs());
    EXPECT_TRUE(mController.isUsingBalances());
}

TEST_F(BridgeTest, TheLocalisedStringIsReadOnTheCallingThreadWithoutWaiting)
{
    auto allowed = std::async(std::launch::async, [this] {
        return mBridge.GetLocalizedString(CVCoreDataServices::CVLocalizedStringDisconnectedJobAllowed);
    });
    auto other = std::async(std::launch::async, [this] {
        return mBridge.GetLocalizedString(static_cast<CVCoreDataServices::CVLocalizedStringType>(1));
    });
    ASSERT_EQ(allowed.wait_for(kLimit), std::future_status::ready);
    ASSERT_EQ(other.wait_for(kLimit), std::future_status::ready);
    std::string text = allowed.get();
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text, "Client_Disconnected_Job_Allowed_Message");
    EXPECT_EQ(other.get(), "");
}

}  // namespace
