#include "Core/CVClientCommunication/ClientCommunicationThread.h"
#include "Core/CVClientCommunication/IJobController.h"
#include "Platform/UserAccount.h"
#include "tests/ClientCommunication/SocketTestHelpers.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

namespace {

using namespace SocketTests;
namespace fs = std::filesystem;

// A job controller that reads the first message on the listener's thread and
// then, like a job thread, answers from a thread of its own that owns the
// connection from then on.
class TestJobController : public CVCoreDataServices::IJobController {
public:
    ~TestJobController() override
    {
        for (auto& job : mJobs)
            job.join();
    }
    void HandleHookConnection(std::unique_ptr<ClientCommunicationChannel> channel) override
    {
        ClientMessage first = channel->ReceiveMessage();
        {
            std::lock_guard lock(mLock);
            mJobIds.insert(first.GetMessageContentParam1());
        }
        mJobs.emplace_back([connection = std::move(channel)] {
            connection->SendMessage(ClientMessage(ClientMessageType::Request, ClientMessageSubType::PageSets));
            ClientMessage pageSets = connection->ReceiveMessage();
            auto answer = pageSets.Is(ClientMessageType::Notify, ClientMessageSubType::PageSets)
                              ? ClientMessageSubType::JobCompleted
                              : ClientMessageSubType::JobCancelled;
            connection->SendMessage(ClientMessage(ClientMessageType::Request, answer));
            connection->Disconnect();
        });
    }
    // The listener uses nothing else of the controller.
    CVClientData::ClientSettings GetClientSettings() override { return {}; }
    const CVCoreDataServices::ClientEnvironment& GetEnvironment() const override { return mEnvironment; }
    void DeleteDisconnectedJobs() override {}
    void ClearPendingJobs() override {}
    std::shared_ptr<const CVClientData::User> GetLoggedInUser() const override { return nullptr; }
    std::shared_ptr<const CVClientData::User> GetBatchUser() const override { return nullptr; }
    bool DetermineBatchStatus(CVClientData::Job&, bool) override { return false; }
    void HandleAllDisconnectedJobs(const CVClientData::User&) override {}
    void UpdateSnoozedJobs(const CVClientData::User&) override {}
    void CopyLastUsedValuesToJob(CVClientData::Job&) override {}
    void CancelBatch() override {}
    bool CurrentDisconnectedJobsExceedLimit(int) override { return false; }
    void HandledPrintJob(const CVClientData::Job&) override {}
    unsigned int CountPendingJobs() override { return 0; }
    bool RememberJobId(uint32_t) override { return true; }
    void SetLastUser(const CVClientData::User&, bool) override {}

    std::set<uint32_t> JobIds()
    {
        std::lock_guard lock(mLock);
        return mJobIds;
    }

private:
    CVCoreDataServices::ClientEnvironment mEnvironment;
    std::mutex mLock;
    std::set<uint32_t> mJobIds;
    std::vector<std::thread> mJobs;  // touched by the listener thread only, until destruction
};

class ListenerThreadTest : public ::testing::Test {
protected:
    TestSupport::TempRoot root;
    std::string user = Platform::CurrentUserName();
    TestJobController controller;
};

TEST_F(ListenerThreadTest, HandsEveryConnectionToTheJobControllerUntilTerminated)
{
    ClientCommunicationThread listener(user.c_str(), controller);
    listener.Start();
    EXPECT_TRUE(listener.IsRunning());
    std::vector<std::thread> hooks;
    std::vector<ClientMessage> answers(3);
    for (uint32_t job = 0; job < 3; ++job)
        hooks.emplace_back([&, job] { answers[job] = RunHookJob(user, 100 + job); });
    for (auto& hook : hooks)
        hook.join();
    for (const auto& answer : answers)
        EXPECT_TRUE(answer.Is(ClientMessageType::Request, ClientMessageSubType::JobCompleted));
    EXPECT_EQ(controller.JobIds(), (std::set<uint32_t>{100, 101, 102}));

    auto start = std::chrono::steady_clock::now();
    listener.Terminate(true);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(listener.IsRunning());
    EXPECT_FALSE(fs::exists(fs::symlink_status(root.Host("/tmp/cvkclient." + user))));
}

TEST_F(ListenerThreadTest, TerminateRightAfterStartNeverHangs)
{
    auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 20; ++round) {
        ClientCommunicationThread listener(user.c_str(), controller);
        listener.Start();
        if (round % 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        listener.Terminate(true);
        EXPECT_FALSE(listener.IsRunning());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(fs::exists(fs::symlink_status(root.Host("/tmp/cvkclient." + user))));
}

TEST(SWThreadTest, AThreadThatEndedByItselfCanBeStartedAgain)
{
    struct CountingThread : SWThread {
        std::atomic<int> runs{0};
        int Run() override { return ++runs; }
    } thread;
    for (int expected = 1; expected <= 3; ++expected) {
        thread.Start();
        ASSERT_TRUE(TestSupport::WaitUntil([&] { return !thread.IsRunning(); }, std::chrono::seconds(2)));
        EXPECT_EQ(thread.runs, expected);
    }
}

}  // namespace
