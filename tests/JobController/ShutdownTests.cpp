#include "tests/JobController/ControllerFixture.h"

#include "Core/CVModels/UIMessage.h"
#include "tests/Support/ChildProgram.h"

#include <filesystem>
#include <future>
#include <thread>

namespace JobControllerTests {
namespace {

using ShutdownTest = ControllerTest;

// Half the jobs wait for page data the hook never sends, the other half for
// an answer the user never gives. Shutdown, run on the main thread as the
// application runs it, wakes the jobs; after waking, each job still calls the
// user interface and the controller, as a job thread winding up does. None
// is answered print without a record: these jobs store nothing and end
// unanswered, and those whose hooks never sent page data are cut off after
// the grace; their hooks cancel them.
TEST_F(ShutdownTest, ShutdownOnTheMainThreadAnswersAndWakesJobsBlockedOnTheirConnectionOrOnTheUser)
{
    std::atomic<int> connectionFailures{0};
    std::atomic<int> declinedQuestions{0};
    std::atomic<int> pageRequests{0};
    mJobBody = [&](JobContext& job) {
        if (job.jobId % 2 == 0) {
            job.connection->Send(ClientMessage(ClientMessageType::Request, ClientMessageSubType::PageSets));
            ++pageRequests;
            if (job.connection->Receive().Is(ClientMessageType::Error, ClientMessageSubType::CommunicationFailure))
                ++connectionFailures;
        } else {
            UIMessage message;
            message.Title = "Confirm";
            if (!job.userInterface.DisplayJobMessage(message))
                ++declinedQuestions;
        }
        job.userInterface.GetProductName();
        CVClientData::Job record;
        record.GetUser() = MakeUser(9, "late");
        job.controller.HandledPrintJob(record);
    };
    mService->SetQuitGrace(std::chrono::milliseconds(300));
    mService->Run();
    std::vector<std::unique_ptr<RawHook>> hooks;
    std::vector<std::future<std::string>> answers;
    for (uint32_t jobId = 60; jobId < 64; ++jobId) {
        hooks.push_back(std::make_unique<RawHook>(SocketPath()));
        ASSERT_TRUE(hooks.back()->Connected());
        hooks.back()->Send(NewJobBytes(jobId));
        answers.push_back(std::async(std::launch::async, [hook = hooks.back().get()] { return hook->ReadToEnd(); }));
    }
    ASSERT_TRUE(mUI.WaitForQuestions(2));
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return pageRequests.load() == 2; }, std::chrono::seconds(5)));

    double seconds = 0;
    mUI.RunOnMain([&] { seconds = SecondsTaken([&] { mService->Shutdown(); }); });
    EXPECT_LT(seconds, 3.0);
    EXPECT_EQ(connectionFailures.load(), 2);
    EXPECT_EQ(declinedQuestions.load(), 2);
    for (size_t hook = 0; hook < answers.size(); ++hook)
        EXPECT_EQ(answers[hook].get(), hook % 2 == 0 ? "RP" : "") << "job " << 60 + hook;
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(SocketPath())));
    EXPECT_EQ(mService->GetLoggedInUser(), nullptr);
}

// A hook that reaches the client while it shuts down has its job held: it
// would print with no record.
TEST_F(ShutdownTest, AConnectionHandedOverDuringShutdownIsHeld)
{
    mService->Run();
    mService->Shutdown();
    SocketTests::SocketPair pair;
    SocketTests::WriteAll(pair.Raw(1), NewJobBytes(70));
    mService->HandleHookConnection(
        std::make_unique<ClientCommunicationChannel>(pair.Take(0), SocketPath()));
    ClientCommunicationChannel hook(pair.Take(1), SocketPath());
    ClientMessage answer = hook.ReceiveMessage();
    EXPECT_TRUE(answer.Is(ClientMessageType::Request, ClientMessageSubType::JobHeld));
    EXPECT_FALSE(mService->HaveAlreadyHandledJob(70));
}

// A hook whose first message has not come yet when the client quits has
// its job held, and the client does not wait for it.
TEST_F(ShutdownTest, ShutdownDoesNotWaitForAConnectionThatNeverSpeaks)
{
    mService->Run();
    RawHook silent(SocketPath());
    ASSERT_TRUE(silent.Connected());
    auto answer = std::async(std::launch::async, [&] { return silent.ReadToEnd(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the listener is reading its first message
    EXPECT_LT(SecondsTaken([&] { mService->Shutdown(); }), 3.0);
    EXPECT_EQ(answer.get(), "RH");
    EXPECT_EQ(JobThreadsMade(), 0);
}

// The main thread calls into the controller while it shows each notice; a
// notice sent with one of the controller's locks held would deadlock here.
TEST_F(ShutdownTest, TheUserInterfaceIsCalledWithoutTheControllersLocks)
{
    std::atomic<int> callsFromMain{0};
    mUI.AfterNotices([&](const std::string&) {
        CVClientData::Job probe;
        mService->CopyLastUsedValuesToJob(probe);
        mService->HaveAlreadyHandledJob(1);
        ++callsFromMain;
    });
    auto jobThread = std::async(std::launch::async, [&] {
        CVClientData::Job job;
        job.GetUser() = MakeUser(9, "batcher");
        job.GetUser().BatchMode = CVBatchModeAutomatic;
        job.GetUser().BatchTimeout = 60;
        mService->HandledPrintJob(job);
        mService->DetermineBatchStatus(job, true);
        mService->CancelBatch();
        mService->SetLastUser(job.GetUser(), false);
    });
    bool finished = jobThread.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!finished)
        mUI.CancelWaitsForShutdown();  // breaks the deadlock so that the test can end
    EXPECT_TRUE(finished);
    EXPECT_GE(mUI.CountOf("batchStarted"), 1u);
    EXPECT_GE(mUI.CountOf("batchEnded"), 1u);
    EXPECT_GE(callsFromMain.load(), 3);
}

// A store that records what the controller asks of it, and checks each time
// that the controller's users lock is free (another thread can take it).
class RecordingStore final : public CVCoreDataServices::IDisconnectedJobStore {
public:
    explicit RecordingStore(IJobController& controller) : mController(controller) {}

    void Initialize(const CVClientData::User& user, const CVClientData::ClientSettings&) override
    {
        mRecord("Initialize", user);
    }
    void HandleDisconnectedJobs(const CVClientData::User& user, const CVClientData::ClientSettings&) override
    {
        mRecord("HandleDisconnectedJobs", user);
    }
    void UpdateDueToSnooze(const CVClientData::User& user, const CVClientData::ClientSettings&) override
    {
        mRecord("UpdateDueToSnooze", user);
    }
    void ShowPendingJobsPopup(const CVClientData::ClientSettings&) override { mRecord("ShowPendingJobsPopup", {}); }
    void ClearPendingJobsList() override { mRecord("ClearPendingJobsList", {}); }
    bool HasMoreJobsThan(int n) override { return n > 0 && n <= 3; }
    unsigned int GetNumberOfPendingJobs() override { return 3; }
    void DeleteAllJobs() override { mRecord("DeleteAllJobs", {}); }

    std::vector<std::string> Calls()
    {
        std::lock_guard lock(mLock);
        return mvecCalls;
    }

private:
    void mRecord(const std::string& call, const CVClientData::User& user)
    {
        auto other = std::async(std::launch::async, [&] { mController.CancelBatch(); });
        bool lockFree = other.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        std::lock_guard lock(mLock);
        mvecCalls.push_back(call + (user.Id != 0 ? ":" + std::to_string(user.Id) : "") + (lockFree ? "" : " (locked)"));
    }

    IJobController& mController;
    std::mutex mLock;
    std::vector<std::string> mvecCalls;
};

TEST_F(ShutdownTest, TheStoreIsCalledForTheLoggedInUserWithoutTheControllersLocks)
{
    ServeUser(MakeUser(42, "Alice"));
    EXPECT_EQ(mService->CountPendingJobs(), 0u);  // the store the controller made: nothing pending yet
    EXPECT_FALSE(mService->CurrentDisconnectedJobsExceedLimit(1));

    auto store = std::make_unique<RecordingStore>(*mService);
    RecordingStore& calls = *store;
    mService->SetDisconnectedJobStore(std::move(store));
    mService->Initialize();
    mService->Run();
    mService->HandleAllDisconnectedJobs(MakeUser(43, "Bob"));
    mService->UpdateSnoozedJobs(MakeUser(43, "Bob"));
    mService->ShowPendingJobsPopup();
    mService->ClearPendingJobs();
    mService->DeleteDisconnectedJobs();
    EXPECT_EQ(mService->CountPendingJobs(), 3u);
    EXPECT_TRUE(mService->CurrentDisconnectedJobsExceedLimit(3));
    EXPECT_FALSE(mService->CurrentDisconnectedJobsExceedLimit(0));

    // Under PIN login no user stays logged in: nothing is submitted.
    ServeSettings(CVAuthenticationPin);
    mService->GetClientSettings();
    mService->HandleAllDisconnectedJobs(MakeUser(44, "Carol"));

    EXPECT_EQ(calls.Calls(), (std::vector<std::string>{"Initialize:42", "HandleDisconnectedJobs:43",
                                                       "UpdateDueToSnooze:43", "ShowPendingJobsPopup",
                                                       "ClearPendingJobsList", "DeleteAllJobs"}));
}

}  // namespace
}  // namespace JobControllerTests
