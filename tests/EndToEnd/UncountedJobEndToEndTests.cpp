// Jobs the parser cannot count whole, printed with lp on a tracked queue of
// the private cupsd: each prints whole and has exactly one record at the
// stand-in, with at least the pages it prints; a job that holds no page
// prints untracked. And a job held for secure release: the server receives
// the document that was counted, whatever its owner writes meanwhile.

#include "Core/CVModels/WebDataServiceProcessJobResult.h"
#include "Platform/Folders.h"
#include "tests/EndToEnd/EndToEndWorld.h"
#include "tests/StandInServer/DefaultAnswers.h"
#include "tests/Support/TempRoot.h"
#include "tests/Support/UncountableJobs.h"

#include <gtest/gtest.h>

#include <cups/ipp.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

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

// The owner rewrites her payload file in place after the count, while the
// server is asked; the stand-in receives the document she printed, and the
// job is cancelled here, held by the server.
TEST(SecureReleaseEndToEnd, ServerReceivesTheCountedDocumentNotItsRewrite)
{
    EndToEndWorld world;
    ASSERT_EQ(world.Problem(), "");
    world.Server().SetResponder("PUT", "printapi/rules/process", [](const StandIn::RecordedRequest& request) {
        CVClientData::WebDataServiceProcessJobResult answer;
        const std::string stop = request.QueryValue("stopAfterStage");
        answer.ProcessedToStage = stop.empty() ? 0 : std::stoi(stop);
        answer.TrackOptionSet = true;
        answer.TrackOption = 2;  // silently
        answer.SecureOptionSet = true;
        answer.SecureOption = 2;  // secured, no balance check
        nlohmann::json body = nlohmann::json::object();
        answer.ToJson(body);
        return StandIn::Answer::Json(200, body.dump());
    });
    const std::string payloadFolder = world.Root().Folder(Platform::Folder::SystemData);
    const StandIn::Responder submitted = StandIn::DefaultResponder("POST", "printapi/securejobs/*");
    std::atomic<int> rewrites{0};
    world.Server().SetResponder("POST", "printapi/securejobs/*", [&](const StandIn::RecordedRequest& request) {
        for (const auto& entry : std::filesystem::directory_iterator(payloadFolder))
            if (entry.path().filename().string().starts_with(".Secure_")) {
                TestSupport::WriteFileText(entry.path().string(), "another document");
                ++rewrites;
            }
        return submitted(request);
    });
    ASSERT_TRUE(world.StartClient());
    ASSERT_TRUE(world.AddQueue("Tracked", QueueKind::Tracked, DataPath::SpoolFile));
    const std::string document = TestSupport::PdfOfPages(2);
    const std::string file = world.Root().Path() + "/document.pdf";
    TestSupport::WriteFileText(file, document);
    const int jobId = world.Submit("Tracked", file, "Counted");
    ASSERT_GT(jobId, 0);
    ASSERT_TRUE(world.WaitForJobState(jobId, IPP_JSTATE_CANCELED))
        << world.Cupsd().ErrorLog() << "\n" << world.QuorvelLog();
    std::vector<std::string> uploads;
    for (const StandIn::RecordedRequest& request : world.Server().Requests())
        if (request.method == "PUT" && request.path.starts_with("/printapi/securejobs/payload/"))
            uploads.push_back(request.body);
    ASSERT_EQ(uploads.size(), 1u) << world.QuorvelLog();
    EXPECT_EQ(rewrites.load(), 1);
    EXPECT_TRUE(uploads[0] == document);
    EXPECT_FALSE(world.BackendRan(jobId));
    EXPECT_EQ(world.StopClient(), 0);
}

}  // namespace
