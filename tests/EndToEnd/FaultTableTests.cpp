// One job on the whole road (lp, a private cupsd, cvkhook, the headless
// client, the HTTPS stand-in, the recording backend) meets one fault per row.
// After the fault, and after the client's next start, the promise itself is
// checked: a job the backend printed has exactly one record at the server,
// with its pages; a job that did not print has none it could be charged for
// twice.
#include "tests/EndToEnd/EndToEndWorld.h"
#include "tests/StandInServer/DefaultAnswers.h"
#include "tests/Support/ChildProgram.h"

#include <gtest/gtest.h>

#include <cups/ipp.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <sys/mount.h>
#include <thread>
#include <utility>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using EndToEnd::EndToEndWorld;

constexpr const char* kQueue = "Tracked";
// PJL around HP-GL/2: two pages.
constexpr int kPages = 2;
constexpr int kDisconnectedJobsStored = 1;

enum class Printed { Yes, No, Either };

struct FaultWorld;

// One row: the fault, what becomes of the job, and the world it needs.
struct FaultRow {
    const char* name;
    std::string popups = "print";
    int backendLingerMs = 0;
    // Before the client starts; false when the fault cannot be made here.
    std::function<bool(FaultWorld&)> setUp = {};
    // After the client started, before the job.
    std::function<void(FaultWorld&)> beforeJob = {};
    // Causes the fault once the job is under way; false when it could not.
    std::function<bool(FaultWorld&)> fault = {};
    Printed printed = Printed::Yes;
    // CUPS holds the job at the end: it could be recorded nowhere.
    bool held = false;
};

// The job cache folder on a tmpfs of its own, filled once the client has
// made its files; unmounted with the row.
class FullStore {
public:
    explicit FullStore(std::string folder) : mstrFolder(std::move(folder))
    {
        std::filesystem::create_directories(mstrFolder);
        mblnMounted = mount("tmpfs", mstrFolder.c_str(), "tmpfs", 0, "size=256k,mode=0700") == 0;
    }
    ~FullStore()
    {
        if (mblnMounted)
            umount2(mstrFolder.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return mblnMounted; }
    void Fill() const
    {
        std::ofstream filler(mstrFolder + "/filler", std::ios::binary);
        std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
            filler.flush();
    }
    void Empty() const { std::filesystem::remove(mstrFolder + "/filler"); }

private:
    std::string mstrFolder;
    bool mblnMounted = false;
};


// Names the row in test listings.
void PrintTo(const FaultRow& row, std::ostream* out)
{
    *out << row.name;
}

struct FaultWorld {
    EndToEndWorld world;
    int jobId = -1;
    std::unique_ptr<FullStore> store;

    explicit FaultWorld(const FaultRow& row) : world(Options(row)) {}

    static EndToEnd::WorldOptions Options(const FaultRow& row)
    {
        EndToEnd::WorldOptions options;
        if (row.backendLingerMs > 0)
            options.backendEnvironment.push_back({"CVK_RECORD_LINGER_MS", std::to_string(row.backendLingerMs)});
        return options;
    }

    bool WaitForRules()
    {
        return TestSupport::WaitUntil([&] { return world.Server().CountOf("PUT", "printapi/rules/process") > 0; },
                                      20s);
    }
    // The settings of a server that keeps jobs taken while it is away.
    void StoreJobsTakenOffline()
    {
        nlohmann::json settings = nlohmann::json::parse(StandIn::DefaultClientSettingsJson());
        settings["DisconnectedJobOption"] = kDisconnectedJobsStored;
        world.Server().SetAnswer("GET", "printapi/settings/*", StandIn::Answer::Json(200, settings.dump()));
    }
    // Every call the job makes fails, so that an answer to a ping of the
    // last seconds does not count.
    void ServerDown()
    {
        for (auto [method, path] : kJobCalls)
            world.Server().SetAnswer(method, path, StandIn::Answer::Json(503, ""));
    }
    void ServerUp()
    {
        for (auto [method, path] : kJobCalls)
            world.Server().ResetAnswer(method, path);
        world.ScriptRules(tracking);
    }
    static constexpr std::pair<const char*, const char*> kJobCalls[] = {
        {"GET", "printapi/info/ping"}, {"POST", "printapi/printers"}, {"PUT", "printapi/rules/process"}};
    EndToEnd::Tracking tracking = EndToEnd::Tracking::Silently;
    ~FaultWorld();
};

// The job reached a state it stays in (printed, cancelled, aborted or held).
bool Settled(const EndToEndWorld& world, int jobId)
{
    return TestSupport::WaitUntil(
        [&] {
            auto state = world.Cupsd().JobState(jobId);
            return state && (*state == IPP_JSTATE_COMPLETED || *state == IPP_JSTATE_CANCELED
                             || *state == IPP_JSTATE_ABORTED || *state == IPP_JSTATE_HELD);
        },
        40s);
}

// The store goes before the world: the client is stopped first.
FaultWorld::~FaultWorld()
{
    world.StopClient();
    store.reset();
}

// Jobs stopped by a quit are submitted whatever the settings say of jobs
// taken offline (the rows above keep the default, which drops those); the
// rows of an unreachable server keep such jobs.
bool KeepOfflineJobs(FaultWorld& w)
{
    w.StoreJobsTakenOffline();
    return true;
}

bool FillStore(FaultWorld& w)
{
    w.StoreJobsTakenOffline();
    w.store = std::make_unique<FullStore>(w.world.Root().Folder(Platform::Folder::UserData));
    if (!w.store->Mounted())
        return false;
    w.store->Fill();
    return true;
}

// Held while nothing can record it; printed with one record once released
// with room in the store and the server back.
bool HeldUntilRecordable(FaultWorld& w)
{
    if (!w.world.WaitForJobState(w.jobId, IPP_JSTATE_HELD, 30s))
        return false;
    EXPECT_FALSE(w.world.BackendRan(w.jobId));
    EXPECT_TRUE(w.world.Records(w.jobId).empty());
    w.store->Empty();
    w.ServerUp();
    return w.world.Cupsd().ReleaseJob(w.jobId) && w.world.WaitForJobState(w.jobId, IPP_JSTATE_COMPLETED, 30s);
}

bool RestartCupsdOnceRulesAsked(FaultWorld& w)
{
    w.world.SetRulesDelay(1500ms);
    return w.WaitForRules() && w.world.RestartCupsd();
}

bool RestartCupsdWhileUserAsked(FaultWorld& w)
{
    return w.world.WaitForUiLog("popup") && w.world.RestartCupsd();
}

bool RestartCupsdWhilePrinting(FaultWorld& w)
{
    return TestSupport::WaitUntil([&] { return w.world.BackendRan(w.jobId); }, 30s) && w.world.RestartCupsd();
}

// Each stop of the client comes while the job waits for the user; the client
// is started again once the job has settled.
std::function<bool(FaultWorld&)> StopClient(std::function<void(EndToEndWorld&)> stop)
{
    return [stop](FaultWorld& w) {
        if (!w.world.WaitForUiLog("popup"))
            return false;
        stop(w.world);
        return Settled(w.world, w.jobId) && w.world.StartClient();
    };
}

bool ServerDown(FaultWorld& w)
{
    if (!Settled(w.world, w.jobId))
        return false;
    w.ServerUp();
    w.world.StopClient();
    return w.world.StartClient();
}

bool ServerSlow(FaultWorld& w)
{
    w.world.SetRulesDelay(4s);
    return true;
}

const std::vector<FaultRow>& Rows()
{
    static const std::vector<FaultRow> rows = {
        {.name = "cupsd restarted while the client waits for the server", .fault = RestartCupsdOnceRulesAsked},
        {.name = "cupsd restarted while the user is asked",
         .popups = "wait,print",
         .fault = RestartCupsdWhileUserAsked},
        {.name = "cupsd restarted while the job prints",
         .backendLingerMs = 3000,
         .fault = RestartCupsdWhilePrinting},
        {.name = "client stopped (SIGTERM)",
         .popups = "wait,print",
         .fault = StopClient([](EndToEndWorld& world) { world.StopClient(); })},
        {.name = "client stopped, then killed 50 ms later",
         .popups = "wait,print",
         .fault = StopClient([](EndToEndWorld& world) { world.TerminateThenKillClient(50ms); }),
         .printed = Printed::Either},
        {.name = "client killed (SIGKILL)",
         .popups = "wait,print",
         .fault = StopClient([](EndToEndWorld& world) { world.KillClient(); }),
         .printed = Printed::No},
        {.name = "server down",
         .setUp = KeepOfflineJobs,
         .beforeJob = [](FaultWorld& w) { w.ServerDown(); },
         .fault = ServerDown},
        {.name = "server answering slowly", .fault = ServerSlow},
        {.name = "the store's folder full, the server down",
         .setUp = FillStore,
         .beforeJob = [](FaultWorld& w) { w.ServerDown(); },
         .fault = HeldUntilRecordable},
        {.name = "client stopped with the store's folder full",
         .popups = "wait,print",
         .setUp = FillStore,
         .fault = StopClient([](EndToEndWorld& world) { world.StopClient(); }),
         .printed = Printed::No,
         .held = true},
    };
    return rows;
}

// Every printed job has exactly one record with its pages; no job has more.
void ExpectThePromiseKept(const EndToEndWorld& world, int jobId, Printed printed, const std::string& row)
{
    // The next start submits what was stored.
    if (world.BackendRan(jobId))
        TestSupport::WaitUntil([&] { return !world.Records(jobId).empty(); }, 15s);
    std::vector<EndToEnd::ServerJobSummary> records = world.Records(jobId);
    bool ran = world.BackendRan(jobId);
    if (printed != Printed::Either) {
        EXPECT_EQ(ran, printed == Printed::Yes) << row;
    }
    if (ran) {
        ASSERT_EQ(records.size(), 1u) << row;
        EXPECT_EQ(records[0].monoPages + records[0].colourPages, kPages) << row;
    } else {
        EXPECT_LE(records.size(), 1u) << row;
    }
}

std::string Logs(const EndToEndWorld& world)
{
    return world.Cupsd().ErrorLog() + "\n" + world.QuorvelLog();
}

class FaultTableTest : public ::testing::TestWithParam<FaultRow> {};

TEST_P(FaultTableTest, EveryPrintedJobHasExactlyOneRecord)
{
    const FaultRow& row = GetParam();
    FaultWorld w(row);
    ASSERT_EQ(w.world.Problem(), "");
    w.tracking = row.popups == "print" ? EndToEnd::Tracking::Silently : EndToEnd::Tracking::WithPopup;
    w.world.ScriptRules(w.tracking);
    ASSERT_TRUE(w.world.AddQueue(kQueue, EndToEnd::QueueKind::Tracked, EndToEnd::DataPath::SpoolFile));
    if (row.setUp && !row.setUp(w))
        GTEST_SKIP() << row.name << ": the fault cannot be made here";
    ASSERT_TRUE(w.world.StartClient({.popups = row.popups}));
    if (row.beforeJob)
        row.beforeJob(w);
    w.jobId = w.world.Submit(kQueue, CVK_SAMPLE_JOB, "Fault table");
    ASSERT_GT(w.jobId, 0);
    ASSERT_TRUE(row.fault(w)) << row.name << "\n" << Logs(w.world);
    ASSERT_TRUE(Settled(w.world, w.jobId)) << row.name << "\n" << Logs(w.world);
    ExpectThePromiseKept(w.world, w.jobId, row.printed, row.name);
    if (row.held) {
        EXPECT_EQ(w.world.Cupsd().JobState(w.jobId), IPP_JSTATE_HELD) << row.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTableTest, ::testing::ValuesIn(Rows()),
                         [](const ::testing::TestParamInfo<FaultRow>& info) { return std::to_string(info.index); });

}  // namespace
