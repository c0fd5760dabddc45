// Jobs taken by the real job threads while the server is away, and their
// submission once it is back: after connected jobs, at the next start, and
// across a client process that is killed.

#include "Core/Services/DisconnectedJobFiles.h"
#include "Platform/UserAccount.h"
#include "tests/DisconnectedJobs/ServerScripts.h"
#include "tests/JobPipeline/PipelineFixture.h"
#include "tests/Support/ChildProgram.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <charconv>
#include <csignal>
#include <filesystem>
#include <sys/wait.h>

namespace DisconnectedJobTests {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using PipelineTests::FakeHook;
using PipelineTests::HpglJob;
using PipelineTests::JobRun;
using TestSupport::ScriptedUserInterface;

class DisconnectedPipelineTest : public PipelineTests::PipelineTest {
protected:
    // The server stops answering (its ping fails), or answers again.
    void ServerDown()
    {
        mServer.SetAnswer("GET", "printapi/info/ping", StandIn::Answer::Json(503, "false"));
        ForgetPing();
        mblnServerDown = true;
    }
    void ServerUp()
    {
        mServer.ResetAnswer("GET", "printapi/info/ping");
        ForgetPing();
        mblnServerDown = false;
    }
    // The server's client settings from now on, loaded by the client (and
    // kept in its settings file) while the server answers; a client that
    // cannot reach the server goes by the settings it loaded last.
    void Settings(int32_t authenticationType, int32_t option)
    {
        ScriptSettings({{"AuthenticationType", authenticationType},
                        {"DisconnectedJobOption", option},
                        {"DisconnectedJobsMesg", "Kept for later."}});
        bool down = mblnServerDown;
        ServerUp();
        mController->GetClientSettings();
        if (down)
            ServerDown();
    }
    // The CUPS ids of the stored jobs, in order.
    std::vector<int> StoredJobIds() const
    {
        std::vector<int> ids;
        for (const auto& entry : std::filesystem::directory_iterator(mEnvironment.JobCacheFolder)) {
            // A job a killed client was sending is still on disk, claimed.
            namespace Files = CVCoreDataServices::DisconnectedJobFiles;
            std::string name = entry.path().filename().string();
            if (name.ends_with(Files::ClaimSuffix))
                name.resize(name.size() - Files::ClaimSuffix.size());
            if (!Files::IsStoredJobName(name))
                continue;
            std::string_view number(name);
            number.remove_suffix(Files::Extension.size());
            if (Files::IsTakenAtQuitName(name))
                number.remove_suffix(Files::TakenAtQuitMark.size());
            number.remove_prefix(number.rfind('.') + 1);
            int id = -1;
            std::from_chars(number.data(), number.data() + number.size(), id);
            ids.push_back(id);
        }
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    // A client restarted: a new controller loads the settings and the user
    // and starts.
    void RestartClient()
    {
        MakeController();
        mController->Initialize();
        mController->Run();
    }

    bool mblnServerDown = false;
};

// What becomes of a job taken while the server is away, by authentication
// type and disconnected-job option.
TEST_F(DisconnectedPipelineTest, JobsTakenWhileTheServerIsAwayFollowTheSettings)
{
    struct Case {
        int32_t authentication;
        int32_t option;
        const char* answer;
        bool stored;
        bool told;  // the user is told of the cancel, with the settings' text
    };
    const Case cases[] = {
        {0, 3, "RX", false, true},
        {0, 2, "RZ", false, false},
        {0, 1, "RZ", true, false},
        {0, 4, "RZ", true, false},
        {1, 1, "RX", false, true},
        {2, 1, "RX", false, true},
        {5, 4, "RX", false, true},
    };
    ServerDown();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "authentication " << c.authentication << ", option " << c.option);
        Settings(c.authentication, c.option);
        size_t messagesBefore = mUI.CallsOf("message").size();
        int jobId = SubmitHeldJob();
        JobRun run = RunJob(jobId);
        EXPECT_THAT(run.received, ElementsAre("RP", c.answer));
        if (std::string(c.answer) == "RX") {
            EXPECT_TRUE(CancelledInCups(jobId));
        }
        std::vector<int> stored = StoredJobIds();
        EXPECT_EQ(std::find(stored.begin(), stored.end(), jobId) != stored.end(), c.stored);
        std::vector<ScriptedUserInterface::Call> messages = mUI.CallsOf("message");
        ASSERT_EQ(messages.size(), messagesBefore + (c.told ? 1 : 0));
        if (c.told) {
            EXPECT_EQ(messages.back().reason, 9);
            EXPECT_EQ(messages.back().event, "Kept for later.");
        }
    }
    EXPECT_EQ(mServer.CountOf("POST", "printapi/disconnectedjobs"), 0u);
    EXPECT_THAT(RulesCalls(), IsEmpty());
}

// N jobs stored while the server was away are sent exactly once after the
// next connected jobs, also when two of them end at the same time.
TEST_F(DisconnectedPipelineTest, StoredJobsAreSentOnceAfterTheNextConnectedJobs)
{
    SubmissionLedger ledger(mServer, std::chrono::milliseconds(20));
    Settings(0, 1);
    ServerDown();
    std::vector<int> stored;
    for (int n = 0; n < 4; ++n) {
        int jobId = SubmitHeldJob();
        EXPECT_THAT(RunJob(jobId).finalAnswers, ElementsAre("RZ"));
        stored.push_back(jobId);
    }
    EXPECT_EQ(StoredJobIds(), stored);
    EXPECT_EQ(ledger.Received(), 0);

    ServerUp();
    int first = SubmitHeldJob();
    int second = SubmitHeldJob();
    FakeHook hookOne(static_cast<uint32_t>(first), HpglJob(2));
    FakeHook hookTwo(static_cast<uint32_t>(second), HpglJob(2));
    mController->HandleHookConnection(hookOne.TakeClientEnd());
    mController->HandleHookConnection(hookTwo.TakeClientEnd());
    ASSERT_TRUE(hookOne.WaitForClose() && hookTwo.WaitForClose());
    ASSERT_TRUE(WaitForJobThread(first) && WaitForJobThread(second));
    EXPECT_THAT(hookOne.FinalAnswers(), ElementsAre("RZ"));
    EXPECT_THAT(hookTwo.FinalAnswers(), ElementsAre("RZ"));

    std::map<uint64_t, int> accepted = ledger.Accepted();
    ASSERT_EQ(accepted.size(), stored.size());
    for (int jobId : stored)
        EXPECT_EQ(accepted[static_cast<uint64_t>(jobId)], 1) << jobId;
    EXPECT_THAT(StoredJobIds(), IsEmpty());
}

// The client quits while its jobs wait for the user: every hook is told to
// print, and every job is stored as a disconnected job (one the server
// recorded already is not), so that the next client submits each once and
// nothing printed is lost to the accounting. The quit stays quick.
TEST_F(DisconnectedPipelineTest, JobsPrintedAsTheClientQuitsAreStoredAndSentAtTheNextStart)
{
    constexpr int kWaiting = 3;
    SubmissionLedger ledger(mServer);
    Settings(0, 1);
    int recorded = SubmitHeldJob();
    EXPECT_THAT(RunJob(recorded).finalAnswers, ElementsAre("RZ"));
    ScriptRules(PipelineTests::WithPopup());
    mUI.HoldQuestions();
    std::vector<int> waiting;
    std::vector<std::unique_ptr<FakeHook>> hooks;
    for (int n = 0; n < kWaiting; ++n) {
        waiting.push_back(SubmitHeldJob());
        hooks.push_back(std::make_unique<FakeHook>(static_cast<uint32_t>(waiting.back()), HpglJob(2)));
        mController->HandleHookConnection(hooks.back()->TakeClientEnd());
    }
    ASSERT_TRUE(mUI.WaitForQuestions(kWaiting, std::chrono::seconds(30)));
    auto start = std::chrono::steady_clock::now();
    mController->Shutdown();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    for (size_t n = 0; n < hooks.size(); ++n) {
        ASSERT_TRUE(hooks[n]->WaitForClose()) << waiting[n];
        EXPECT_THAT(hooks[n]->FinalAnswers(), ElementsAre("RZ")) << waiting[n];
    }
    EXPECT_EQ(StoredJobIds(), waiting);
    EXPECT_EQ(ledger.Received(), 0);

    RestartClient();
    ASSERT_TRUE(ledger.WaitForReceived(kWaiting));
    std::map<uint64_t, int> accepted = ledger.Accepted();
    EXPECT_EQ(accepted.size(), waiting.size());
    for (int jobId : waiting)
        EXPECT_EQ(accepted[static_cast<uint64_t>(jobId)], 1) << jobId;
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return StoredJobIds().empty(); }, std::chrono::seconds(10)));
}

// Under authentication that asks the user (PIN, PIN and password, network
// login) stored jobs are sent neither after a job nor at a start; they wait
// for a start under the workstation's login.
TEST_F(DisconnectedPipelineTest, StoredJobsWaitWhileAuthenticationAsksTheUser)
{
    SubmissionLedger ledger(mServer);
    Settings(0, 1);
    ServerDown();
    std::vector<int> stored = {SubmitHeldJob(), SubmitHeldJob()};
    for (int jobId : stored)
        RunJob(jobId);
    ASSERT_EQ(StoredJobIds(), stored);

    ServerUp();
    for (int32_t authentication : {2, 3, 5}) {
        Settings(authentication, 1);
        RunJob(SubmitHeldJob());  // the user is asked to log in, and does not
        RestartClient();
        EXPECT_EQ(ledger.Received(), 0) << authentication;
        EXPECT_EQ(StoredJobIds(), stored) << authentication;
    }
    Settings(0, 1);
    RestartClient();
    EXPECT_EQ(ledger.AcceptedCount(), 2u);
    EXPECT_THAT(StoredJobIds(), IsEmpty());
}

// A client in a process of its own, killed with SIGKILL.
class ClientProcess {
public:
    ClientProcess(const TestSupport::TempRoot& root, const std::string& caFile, const std::string& name)
        : mstrOutput(root.Path() + "/" + name + ".out")
    {
        mPid = TestSupport::StartProgram({CVK_DISCONNECTED_CLIENT, root.Path(), caFile}, mstrOutput);
    }
    ~ClientProcess() { Kill(); }
    ClientProcess(const ClientProcess&) = delete;
    ClientProcess& operator=(const ClientProcess&) = delete;

    // Waits until it listens and has handled the stored jobs.
    bool WaitUntilReady() const
    {
        return mPid > 0 && TestSupport::WaitUntil([this] {
            return TestSupport::ReadFileText(mstrOutput).find("ready") != std::string::npos;
        }, std::chrono::seconds(60));
    }
    void Kill()
    {
        if (mPid <= 0)
            return;
        kill(mPid, SIGKILL);
        waitpid(mPid, nullptr, 0);
        mPid = -1;
    }

private:
    std::string mstrOutput;
    pid_t mPid = -1;
};

// Jobs stored by a client that is killed between jobs survive it; a client
// killed while it sends them leaves the unsent ones; the next client sends
// each of them once.
TEST_F(DisconnectedPipelineTest, StoredJobsSurviveAKilledClientAndAreSentOnce)
{
    SubmissionLedger ledger(mServer);
    Settings(0, 1);
    ServerDown();
    std::string user = Platform::CurrentUserName();
    std::vector<int> stored;
    auto takeJobs = [&](ClientProcess& client, int count) {
        ASSERT_TRUE(client.WaitUntilReady());
        for (int n = 0; n < count; ++n) {
            int jobId = SubmitHeldJob();
            FakeHook hook(user, static_cast<uint32_t>(jobId), HpglJob(2));
            ASSERT_TRUE(hook.Connected());
            ASSERT_TRUE(hook.WaitForClose());
            EXPECT_THAT(hook.FinalAnswers(), ElementsAre("RZ"));
            stored.push_back(jobId);
        }
        client.Kill();
    };
    ClientProcess first(mRoot, mServer.CaFile(), "first");
    takeJobs(first, 3);
    EXPECT_EQ(StoredJobIds(), stored);
    ClientProcess second(mRoot, mServer.CaFile(), "second");
    takeJobs(second, 2);
    EXPECT_EQ(StoredJobIds(), stored);
    EXPECT_EQ(ledger.Received(), 0);

    ServerUp();
    ledger.StallSubmission(2);
    ClientProcess third(mRoot, mServer.CaFile(), "third");
    ASSERT_TRUE(ledger.WaitForReceived(2));
    third.Kill();
    mServer.ReleaseStalls();
    EXPECT_EQ(ledger.AcceptedCount(), 1u);
    EXPECT_EQ(StoredJobIds().size(), stored.size() - 1);

    ClientProcess fourth(mRoot, mServer.CaFile(), "fourth");
    ASSERT_TRUE(fourth.WaitUntilReady());
    std::map<uint64_t, int> accepted = ledger.Accepted();
    EXPECT_EQ(accepted.size(), stored.size());
    for (int jobId : stored)
        EXPECT_EQ(accepted[static_cast<uint64_t>(jobId)], 1) << jobId;
    EXPECT_THAT(StoredJobIds(), IsEmpty());
}

}  // namespace
}  // namespace DisconnectedJobTests
