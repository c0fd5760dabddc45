// Jobs the parser cannot count whole, printed with lp on a tracked queue of
// the private cupsd: each prints whole and has exactly one record at the
// stand-in, with at least the pages it prints; a job that holds no page
// prints untracked.

#include "tests/EndToEnd/EndToEndWorld.h"
#include "tests/Support/TempRoot.h"
#include "tests/Support/UncountableJobs.h"

#include <gtest/gtest.h>

#include <cups/ipp.h>

#include <functional>
#include <string>

namespace {

using EndToEnd::DataPath;
using EndToEnd::EndToEndWorld;
using EndToEnd::QueueKind;
using EndToEnd::Tracking;
using TestSupport::PageTreeDamage;

// The rules calls that opened a record of the job at the server.
size_t RecordsOf(const StandIn::StandInServer& server, int jobId)
{
    size_t records = 0;
    for (const StandIn::RecordedRequest& request : server.RequestsTo("PUT", "printapi/rules/process")) {
        nlohmann::json job = nlohmann::json::parse(request.body, nullptr, false);
        if (job.is_object() && job.value("CupsId", 0ull) == static_cast<unsigned long long>(jobId)
            && request.QueryValue("startStage") == "0")
            ++records;
    }
    return records;
}

TEST(UncountedJobEndToEnd, EveryPrintedJobHasOneRecordWithItsPages)
{
    const struct {
        const char* Name;
        std::function<std::string()> make;
        int printed;  // 0: it holds no page
    } rows[] = {
        {"pdf count beyond any number", [] { return TestSupport::PdfOfPages(5, PageTreeDamage::HugeCount); }, 5},
        {"pdf pages node in its own kids", [] { return TestSupport::PdfOfPages(5, PageTreeDamage::OwnKid); }, 5},
        {"pdf after other bytes", [] { return "Job 12 for Ann\n" + TestSupport::PdfOfPages(4); }, 4},
        {"ps2write then job end", [] { return TestSupport::Ps2writeJob(3) + TestSupport::JobEndEscape; }, 3},
        {"language not read", [] { return std::string("Plain words that begin no printer language.\n"); }, 1},
        {"pjl entering a language not read",
         [] { return std::string(TestSupport::PjlUnreadLanguageJob, sizeof TestSupport::PjlUnreadLanguageJob - 1); }, 1},
        {"pjl status request", [] { return std::string(TestSupport::PjlStatusRequest); }, 0},
    };
    EndToEndWorld world;
    ASSERT_EQ(world.Problem(), "");
    world.ScriptRules(Tracking::Silently);
    ASSERT_TRUE(world.StartClient());
    ASSERT_TRUE(world.AddQueue("Tracked", QueueKind::Tracked, DataPath::StandardInput));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        const std::string job = row.make();
        ASSERT_FALSE(job.empty());
        const std::string file = world.Root().Path() + "/job.prn";
        TestSupport::WriteFileText(file, job);
        const int jobId = world.Submit("Tracked", file, row.Name);
        ASSERT_GT(jobId, 0);
        ASSERT_TRUE(world.WaitForJobState(jobId, IPP_JSTATE_COMPLETED))
            << world.Cupsd().ErrorLog() << "\n" << world.QuorvelLog();
        EXPECT_TRUE(world.BackendRecord(jobId).data == job);
        if (row.printed == 0) {
            EXPECT_EQ(RecordsOf(world.Server(), jobId), 0u);
            continue;
        }
        EXPECT_EQ(RecordsOf(world.Server(), jobId), 1u);
        auto summary = world.ServerJob(jobId);
        ASSERT_TRUE(summary.has_value());
        EXPECT_GE(summary->monoPages + summary->colourPages, row.printed);
    }
    EXPECT_EQ(world.StopClient(), 0);
}

}  // namespace
