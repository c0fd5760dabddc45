// Print jobs on their whole road: lp, a private cupsd, cvkhook as the
// tracked queue's backend, the headless client core of the test user with a
// real job thread, the loopback HTTPS stand-in of the accounting server, and
// the recording backend as the queue's own (wrapped) backend.
#include "tests/EndToEnd/EndToEndWorld.h"
#include "tests/EndToEnd/ServerJobSummary.h"
#include "tests/JobPipeline/FakeHook.h"
#include "tests/StandInServer/DefaultAnswers.h"
#include "tests/Support/ChildProgram.h"

#include <gtest/gtest.h>

#include <cups/ipp.h>

#include <chrono>
#include <map>
#include <memory>
#include <vector>

namespace {

using EndToEnd::DataPath;
using EndToEnd::EndToEndWorld;
using EndToEnd::QueueKind;
using EndToEnd::Tracking;
using EndToEnd::WorldOptions;

constexpr const char* kQueue = "Tracked";
constexpr const char* kTitle = "Quarterly report";
// The hook's wait for a client that is not there, made short.
constexpr int kShortHookSecondMs = 5;

// PJL around HP-GL/2: two A3 pages, two copies, duplex.
std::string SampleJob()
{
    return CVK_SAMPLE_JOB;
}

class EndToEndTest : public ::testing::Test {
protected:
    explicit EndToEndTest(WorldOptions options = {}) : mWorld(std::move(options)) {}

    void SetUp() override { ASSERT_EQ(mWorld.Problem(), ""); }

    // A tracked queue and one job on it; the job's id.
    int PrintSample(DataPath path = DataPath::SpoolFile, const std::vector<std::string>& queueArguments = {})
    {
        EXPECT_TRUE(mWorld.AddQueue(kQueue, QueueKind::Tracked, path, queueArguments));
        int jobId = mWorld.Submit(kQueue, SampleJob(), kTitle);
        EXPECT_GT(jobId, 0);
        return jobId;
    }

    // What went wrong, for a failed wait.
    std::string Logs() const { return mWorld.Cupsd().ErrorLog() + "\n" + mWorld.QuorvelLog(); }

    EndToEndWorld mWorld;
};

class PrintedEndToEndTest : public EndToEndTest, public ::testing::WithParamInterface<DataPath> {};

}  // namespace

namespace EndToEnd {

// Names the data path in test listings.
void PrintTo(DataPath path, std::ostream* out)
{
    *out << (path == DataPath::SpoolFile ? "spool file" : "standard input");
}

}  // namespace EndToEnd

// The user prints in the pop-up: the queue's own backend gets every byte with
// CUPS's arguments, and the server the job with its counted pages.
TEST_P(PrintedEndToEndTest, ClientThatAnswersPrintGetsTheJobPrintedAndAccounted)
{
    ASSERT_TRUE(mWorld.StartClient({.popups = "print"}));
    int jobId = PrintSample(GetParam());
    ASSERT_TRUE(mWorld.WaitForJobState(jobId, IPP_JSTATE_COMPLETED)) << Logs();

    auto record = mWorld.BackendRecord(jobId);
    EXPECT_EQ(record.data, TestSupport::ReadFileText(SampleJob()));
    EXPECT_EQ(record.Get("argc"), GetParam() == DataPath::SpoolFile ? "7" : "6");
    EXPECT_EQ(record.Get("argv[0]"), std::string(EndToEndWorld::TrackedScheme) + "://printer.example/" + kQueue);
    EXPECT_EQ(record.Get("argv[1]"), std::to_string(jobId));
    EXPECT_EQ(record.Get("argv[2]"), mWorld.User());
    EXPECT_EQ(record.Get("argv[3]"), kTitle);
    EXPECT_EQ(record.Get("argv[4]"), "1");

    auto summary = mWorld.ServerJob(jobId);
    ASSERT_TRUE(summary.has_value());
    EXPECT_EQ(summary->user, mWorld.User());
    EXPECT_EQ(summary->printer, kQueue);
    EXPECT_EQ(summary->document, kTitle);
    EXPECT_EQ(summary->monoPages + summary->colourPages, 2);
    EXPECT_EQ(summary->copies, 2u);
    EXPECT_TRUE(summary->duplex);
    EXPECT_DOUBLE_EQ(summary->cost, 2 * 2 * EndToEndWorld::MonoPageCost);
    EXPECT_NE(mWorld.UiLog().find(std::string("popup ") + kTitle + ": print"), std::string::npos);
    EXPECT_EQ(mWorld.StopClient(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothDataPaths, PrintedEndToEndTest,
                         ::testing::Values(DataPath::SpoolFile, DataPath::StandardInput),
                         [](const auto& info) { return info.param == DataPath::SpoolFile ? "SpoolFile" : "StandardInput"; });

namespace {

// Refused by the user in the pop-up, or by the server's rules: the job ends
// canceled and the queue's own backend never runs.
struct RefusalCase {
    const char* name;
    Tracking tracking;
    const char* popups;
    const char* question;  // what the client was asked
};

void PrintTo(const RefusalCase& refusal, std::ostream* out)
{
    *out << refusal.name;
}

class RefusedEndToEndTest : public EndToEndTest, public ::testing::WithParamInterface<RefusalCase> {};

}  // namespace

TEST_P(RefusedEndToEndTest, RefusedJobEndsCanceledWithoutReachingTheBackend)
{
    mWorld.ScriptRules(GetParam().tracking);
    ASSERT_TRUE(mWorld.StartClient({.popups = GetParam().popups}));
    int jobId = PrintSample();
    ASSERT_TRUE(mWorld.WaitForJobState(jobId, IPP_JSTATE_CANCELED)) << Logs();
    EXPECT_FALSE(mWorld.BackendRan(jobId));
    // A job the rules refuse ends in CUPS before its alert shows.
    EXPECT_TRUE(mWorld.WaitForUiLog(GetParam().question, std::chrono::seconds(10))) << mWorld.UiLog();
    EXPECT_EQ(mWorld.StopClient(), 0);
}

INSTANTIATE_TEST_SUITE_P(ByUserOrRules, RefusedEndToEndTest,
                         ::testing::Values(RefusalCase{"PopupCancel", Tracking::WithPopup, "cancel", ": cancel"},
                                           RefusalCase{"RulesCancel", Tracking::Cancel, "print", "message"}),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

class UnreachableClientTest : public EndToEndTest {
protected:
    UnreachableClientTest() : EndToEndTest({.hookSecondMs = kShortHookSecondMs}) {}
};

}  // namespace

// No client comes up for the job's owner: the job prints untracked, whole.
TEST_F(UnreachableClientTest, WithoutClientTheJobPrintsUntracked)
{
    int jobId = PrintSample();
    ASSERT_TRUE(mWorld.WaitForJobState(jobId, IPP_JSTATE_COMPLETED)) << Logs();
    EXPECT_EQ(mWorld.BackendRecord(jobId).data, TestSupport::ReadFileText(SampleJob()));
    EXPECT_FALSE(mWorld.ServerJob(jobId).has_value());
}

// The client dies while its user looks at the pop-up: the hook loses the
// connection and cancels the job.
TEST_F(EndToEndTest, ClientThatDiesDuringTheJobLeavesItCanceled)
{
    ASSERT_TRUE(mWorld.StartClient({.popups = "wait"}));
    int jobId = PrintSample();
    ASSERT_TRUE(mWorld.WaitForUiLog(std::string("popup ") + kTitle + ": waiting")) << Logs();
    mWorld.KillClient();
    ASSERT_TRUE(mWorld.WaitForJobState(jobId, IPP_JSTATE_CANCELED)) << Logs();
    EXPECT_FALSE(mWorld.BackendRan(jobId));
    EXPECT_NE(mWorld.Cupsd().ErrorLog().find("[Job " + std::to_string(jobId) + "] Backend returned status 5"),
              std::string::npos);
}

// The client quits (SIGTERM) while 50 jobs wait for their user: every hook
// is answered print before the client goes, within seconds, and nothing is
// cancelled. One job runs the whole road through cvkhook and prints; the
// others are held in CUPS and announced by hooks of the test's own. Every
// job is stored as a disconnected job, and the next client submits each one
// to the server once (after its own first job), so that the server's records
// are complete.
TEST_F(EndToEndTest, AClientThatQuitsAnswersEveryJobInFlight)
{
    constexpr int kHeldJobs = 49;
    mWorld.ScriptRules(Tracking::WithPopup);
    // Settings under which jobs printed without the server are stored.
    nlohmann::json settings = nlohmann::json::parse(StandIn::DefaultClientSettingsJson());
    settings["DisconnectedJobOption"] = 1;
    mWorld.Server().SetAnswer("GET", "printapi/settings/*", StandIn::Answer::Json(200, settings.dump()));
    ASSERT_TRUE(mWorld.StartClient({.popups = "wait"}));
    int printedId = PrintSample();
    std::vector<int> heldIds;
    std::vector<std::unique_ptr<PipelineTests::FakeHook>> hooks;
    for (int n = 0; n < kHeldJobs; ++n) {
        heldIds.push_back(mWorld.Cupsd().SubmitJob(kQueue, SampleJob(), {"-o", "raw", "-H", "hold", "-t", "Held report"}));
        ASSERT_GT(heldIds.back(), 0);
        hooks.push_back(std::make_unique<PipelineTests::FakeHook>(mWorld.User(), static_cast<uint32_t>(heldIds.back()),
                                                                  PipelineTests::HpglJob(1)));
    }
    auto waiting = [&] {
        std::string log = mWorld.UiLog();
        size_t count = 0;
        for (size_t at = log.find(": waiting"); at != std::string::npos; at = log.find(": waiting", at + 1))
            ++count;
        return count;
    };
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return waiting() == kHeldJobs + 1; }, std::chrono::seconds(120)))
        << waiting() << " jobs wait\n" << Logs();

    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(mWorld.StopClient(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    for (size_t n = 0; n < hooks.size(); ++n) {
        ASSERT_TRUE(hooks[n]->WaitForClose(std::chrono::seconds(10))) << "job " << heldIds[n];
        EXPECT_EQ(hooks[n]->Received(), (std::vector<std::string>{"RP", "RZ"})) << "job " << heldIds[n];
        EXPECT_EQ(mWorld.Cupsd().JobState(heldIds[n]), IPP_JSTATE_HELD) << "job " << heldIds[n];
    }
    ASSERT_TRUE(mWorld.WaitForJobState(printedId, IPP_JSTATE_COMPLETED)) << Logs();
    EXPECT_EQ(mWorld.BackendRecord(printedId).data, TestSupport::ReadFileText(SampleJob()));

    std::vector<int> all = heldIds;
    all.push_back(printedId);
    auto submitted = [&] {
        std::map<unsigned long long, int> count;
        for (const StandIn::RecordedRequest& request : mWorld.Server().RequestsTo("POST", "printapi/disconnectedjobs"))
            ++count[nlohmann::json::parse(request.body, nullptr, false).value("CupsId", 0ull)];
        return count;
    };
    EXPECT_TRUE(submitted().empty());
    // The next client has no user cached yet: it submits the stored jobs
    // after its first job that reached the server.
    ASSERT_TRUE(mWorld.StartClient());
    int nextId = PrintSample();
    ASSERT_TRUE(mWorld.WaitForJobState(nextId, IPP_JSTATE_COMPLETED)) << Logs();
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return submitted().size() == all.size(); }, std::chrono::seconds(60)))
        << submitted().size() << " of " << all.size() << " submitted\n" << Logs();
    std::map<unsigned long long, int> count = submitted();
    for (int jobId : all)
        EXPECT_EQ(count[static_cast<unsigned long long>(jobId)], 1) << "job " << jobId;
}

// The preferences lack the server address: the hook ends with 255 before it
// does anything, and CUPS takes that status as a failure (here aborting the
// job, as the queue's error policy says).
// Incomplete preferences stop the queue, whatever its error policy, with the
// reason as the queue's message; the job waits for the administrator.
TEST_F(EndToEndTest, IncompletePreferencesStopTheQueueWithTheReason)
{
    mWorld.WritePreferences(false);
    int jobId = PrintSample(DataPath::SpoolFile, {"-o", "printer-error-policy=abort-job"});
    std::string stopped = "[Job " + std::to_string(jobId) + "] Backend returned status 4 (stop printer)";
    ASSERT_TRUE(TestSupport::WaitUntil(
        [&] { return mWorld.Cupsd().ErrorLog().find(stopped) != std::string::npos; }, std::chrono::seconds(30)))
        << Logs();
    EXPECT_TRUE(mWorld.WaitForJobState(jobId, IPP_JSTATE_PENDING, std::chrono::seconds(10)));
    std::string status = TestSupport::RunProgram({"lpstat", "-h", mWorld.Cupsd().Address(), "-l", "-p", kQueue}).output;
    EXPECT_NE(status.find("The Quorvel preferences are incomplete"), std::string::npos) << status;
    EXPECT_FALSE(mWorld.BackendRan(jobId));
}

namespace {

// What CUPS makes of a failed backend under one error policy.
struct FailurePolicyCase {
    const char* policy;
    ipp_jstate_t jobState;
    bool queueStopped;
};

void PrintTo(const FailurePolicyCase& failure, std::ostream* out)
{
    *out << failure.policy;
}

class FailingBackendTest : public EndToEndTest, public ::testing::WithParamInterface<FailurePolicyCase> {
protected:
    FailingBackendTest() : EndToEndTest({.backendEnvironment = {{"CVK_RECORD_EXIT", "1"}}}) {}

    bool QueueStopped() const
    {
        std::string status =
            TestSupport::RunProgram({"lpstat", "-h", mWorld.Cupsd().Address(), "-p", kQueue}).output;
        return status.find(" disabled ") != std::string::npos;
    }
};

}  // namespace

// The queue's own backend fails after the client said print: its status 1
// is the hook's, and CUPS acts on it as the queue's error policy says.
TEST_P(FailingBackendTest, FailedBackendStatusReachesCups)
{
    ASSERT_TRUE(mWorld.StartClient());
    int jobId = PrintSample(DataPath::SpoolFile, {"-o", std::string("printer-error-policy=") + GetParam().policy});
    std::string failure = "[Job " + std::to_string(jobId) + "] Backend returned status 1 (failed)";
    ASSERT_TRUE(TestSupport::WaitUntil(
        [&] { return mWorld.Cupsd().ErrorLog().find(failure) != std::string::npos; }, std::chrono::seconds(30)))
        << Logs();
    EXPECT_TRUE(mWorld.BackendRan(jobId));
    EXPECT_TRUE(mWorld.WaitForJobState(jobId, GetParam().jobState, std::chrono::seconds(10)));
    EXPECT_EQ(QueueStopped(), GetParam().queueStopped);
    EXPECT_TRUE(mWorld.ServerJob(jobId).has_value());
}

INSTANTIATE_TEST_SUITE_P(ErrorPolicies, FailingBackendTest,
                         ::testing::Values(FailurePolicyCase{"abort-job", IPP_JSTATE_ABORTED, false},
                                           FailurePolicyCase{"retry-job", IPP_JSTATE_HELD, false},
                                           FailurePolicyCase{"stop-printer", IPP_JSTATE_PENDING, true}),
                         [](const auto& info) {
                             std::string name = info.param.policy;
                             std::erase(name, '-');
                             return name;
                         });

namespace {

// A job printed with lp -n 3 on one queue, and what the server billed.
struct CopiesCase {
    const char* name;
    DataPath path;
    const char* file;  // in the PCL fixtures: three pages
    uint64_t copies;   // billed
    int32_t pages;     // billed per copy
};

}  // namespace

// CUPS asks for the copies of lp -n: a raw queue's backend makes them itself
// from the job file, and they multiply the copies the job data makes; a
// filter that makes the copies in the data has them counted as pages, once.
TEST_F(EndToEndTest, CopiesMadeByCupsAreBilledOnce)
{
    mWorld.ScriptRules(Tracking::Silently);
    ASSERT_TRUE(mWorld.StartClient());
    const CopiesCase cases[] = {
        {"Raw", DataPath::SpoolFile, "ljet4.pcl", 3, 3},
        {"RawWithCopiesInTheData", DataPath::SpoolFile, "ljet4d-duplex-copies3.pcl", 9, 3},
        {"Filtered", DataPath::FilterMakesCopies, "ljet4.pcl", 1, 9},
    };
    for (const CopiesCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(mWorld.AddQueue(c.name, QueueKind::Tracked, c.path));
        std::string file = std::string(CVK_PCL_DATA_DIR) + "/" + c.file;
        int jobId = mWorld.Submit(c.name, file, kTitle, {"-n", "3"});
        ASSERT_GT(jobId, 0);
        ASSERT_TRUE(mWorld.WaitForJobState(jobId, IPP_JSTATE_COMPLETED)) << Logs();
        EXPECT_EQ(mWorld.BackendRecord(jobId).Get("argv[4]"), "3");
        auto summary = mWorld.ServerJob(jobId);
        ASSERT_TRUE(summary.has_value());
        EXPECT_EQ(summary->copies, c.copies);
        EXPECT_EQ(summary->monoPages + summary->colourPages, c.pages);
        EXPECT_DOUBLE_EQ(summary->cost, c.copies * c.pages * EndToEndWorld::MonoPageCost);
    }
    EXPECT_EQ(mWorld.StopClient(), 0);
}
