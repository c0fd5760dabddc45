#include "tests/JobController/ControllerFixture.h"

#include <future>
#include <set>
#include <thread>

namespace JobControllerTests {
namespace {

bool IsAnswer(const ClientMessage& message, ClientMessageSubType::ClientMessageSubType subType)
{
    return message.Is(ClientMessageType::Request, subType);
}

using ConnectionTest = ControllerTest;

TEST_F(ConnectionTest, ADuplicateJobIdIsAnsweredPrintAtOnceAlsoAfterItsThreadIsCleanedUp)
{
    mService->Run();
    EXPECT_TRUE(IsAnswer(RunHookJob(mstrUser, 7), ClientMessageSubType::JobCompleted));
    EXPECT_EQ(JobThreadsMade(), 1);

    // The repeat gets 'R','Z' as its first answer, without a request for
    // page data; its connection also reclaims the first job's ended thread.
    for (int repeat = 0; repeat < 2; ++repeat) {
        RawHook hook(SocketPath());
        ASSERT_TRUE(hook.Connected());
        hook.Send(NewJobBytes(7));
        EXPECT_EQ(hook.ReadToEnd(), "RZ") << "repeat " << repeat;
    }
    EXPECT_EQ(JobThreadsMade(), 1);
    EXPECT_TRUE(mService->HaveAlreadyHandledJob(7));
    EXPECT_FALSE(mService->HaveAlreadyHandledJob(8));
    EXPECT_TRUE(IsAnswer(RunHookJob(mstrUser, 8), ClientMessageSubType::JobCompleted));
    EXPECT_EQ(JobThreadsMade(), 2);
}

TEST_F(ConnectionTest, ABadFirstMessageIsAnsweredCommunicationFailureAndTheListenerGoesOn)
{
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        bool hookStopsSending;  // the hook sends no more: the message stays cut short
    };
    const std::vector<Case> cases = {
        {"page sets first", {'N', 'P', 2, 0, 0, 0, 'o', 'k'}, false},
        {"another notify subtype", {'N', 'X', 1, 0, 0, 0}, false},
        {"a request", {'R', 'Z'}, false},
        {"an error", {'E', 'F'}, false},
        {"an unknown type", {'Q', 'B'}, false},
        {"a header cut short", {'N'}, true},
        {"a parameter cut short", {'N', 'B', 1}, true},
    };
    mService->Run();
    for (const Case& each : cases) {
        RawHook hook(SocketPath());
        ASSERT_TRUE(hook.Connected()) << each.what;
        hook.Send(each.bytes);
        if (each.hookStopsSending)
            hook.StopSending();
        EXPECT_EQ(hook.ReadToEnd(), "EF") << each.what;
    }
    EXPECT_EQ(JobThreadsMade(), 0);
    EXPECT_TRUE(IsAnswer(RunHookJob(mstrUser, 900), ClientMessageSubType::JobCompleted));
}

// Each connection's first message is read on a thread of its own: hooks that
// say nothing hold up no other job, and each is refused at its own limit.
TEST_F(ConnectionTest, ConnectionsThatNeverSpeakDoNotHoldUpTheNextJob)
{
    constexpr int kSilent = 5;
    mService->SetFirstMessageTimeout(std::chrono::seconds(3));
    mService->Run();
    std::vector<std::unique_ptr<RawHook>> silent;
    std::vector<std::future<std::string>> silentAnswers;
    for (int n = 0; n < kSilent; ++n) {
        silent.push_back(std::make_unique<RawHook>(SocketPath()));
        ASSERT_TRUE(silent.back()->Connected());
        silentAnswers.push_back(
            std::async(std::launch::async, [hook = silent.back().get()] { return hook->ReadToEnd(std::chrono::seconds(30)); }));
    }
    // Waiting behind them would take at least one limit per silent hook.
    double seconds = SecondsTaken([&] {
        EXPECT_TRUE(IsAnswer(RunHookJob(mstrUser, 31), ClientMessageSubType::JobCompleted));
    });
    EXPECT_LT(seconds, 2.0);
    for (auto& answer : silentAnswers)
        EXPECT_EQ(answer.get(), "EF");
}

// Without a job thread no one finds the job in CUPS, so its id is not
// remembered: announcing an id leaves nothing behind by itself.
TEST_F(ConnectionTest, WithoutAJobThreadTheJobPrintsUntracked)
{
    mService->SetJobThreadFactory(nullptr);
    mService->Run();
    RawHook hook(SocketPath());
    ASSERT_TRUE(hook.Connected());
    hook.Send(NewJobBytes(12));
    EXPECT_EQ(hook.ReadToEnd(), "RZ");
    EXPECT_FALSE(mService->HaveAlreadyHandledJob(12));
}

// Many hooks at once, some announcing the same job, while the job threads
// use the controller's shared state.
TEST_F(ConnectionTest, ManySimultaneousConnectionsEachGetOneAnswer)
{
    constexpr uint32_t Hooks = 48;
    constexpr uint32_t DistinctJobs = 40;  // the last hooks repeat earlier ids
    CVClientData::User batcher = MakeUser(5, "batcher");
    batcher.BatchMode = CVBatchModeAutomatic;
    batcher.BatchTimeout = 600;
    mJobBody = [batcher](JobContext& job) {
        CVClientData::Job record;
        record.GetUser() = batcher;
        record.ProcessName = "Editor";
        job.controller.DetermineBatchStatus(record, true);
        job.controller.CopyLastUsedValuesToJob(record);
        AskForPageSetsAndPrint(job);
        job.controller.HandledPrintJob(record);
        auto loggedIn = job.controller.GetLoggedInUser();
        auto batchUser = job.controller.GetBatchUser();
        if (batchUser && batchUser->Id != 5)
            ADD_FAILURE() << "batch user " << batchUser->Id;
    };
    mService->Run();
    std::vector<std::future<ClientMessage>> answers;
    for (uint32_t hook = 0; hook < Hooks; ++hook)
        answers.push_back(std::async(std::launch::async, [&, hook] { return RunHookJob(mstrUser, 1000 + hook % DistinctJobs); }));
    std::thread windows([&] {
        for (int round = 0; round < 20; ++round) {
            mService->GetLoggedInUser();
            mService->CancelBatch();
        }
    });
    int printed = 0;
    for (auto& answer : answers)
        printed += IsAnswer(answer.get(), ClientMessageSubType::JobCompleted) ? 1 : 0;
    windows.join();
    EXPECT_EQ(printed, static_cast<int>(Hooks));
    EXPECT_EQ(JobThreadsMade(), static_cast<int>(DistinctJobs));
    EXPECT_LT(SecondsTaken([&] { mService->Shutdown(); }), 5.0);
}

}  // namespace
}  // namespace JobControllerTests
