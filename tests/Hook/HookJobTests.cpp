// Real cvkhook processes handing jobs to a scripted stand-in client and
// running the recording backend as the wrapped backend.
#include "Core/CVClientCommunication/RawDataJobProperties.h"
#include "Platform/UserAccount.h"
#include "tests/Hook/HookHarness.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/ChildRecord.h"
#include "tests/Support/HostilePdf.h"
#include "tests/Support/RandomBytes.h"

#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>

using HookTests::FakeClient;
using HookTests::HookResult;
using HookTests::StdinFeed;
namespace fs = std::filesystem;

namespace {

class HookJobTest : public ::testing::Test {
protected:
    // The job's arguments, with argument 6 naming a file that holds the data
    // when the data does not come on standard input.
    std::vector<std::string> Arguments(int jobId, bool inFile, const std::string& data)
    {
        auto arguments = mSetup.JobArguments(jobId, mstrUser);
        if (inFile) {
            std::string path = mSetup.Root().Path() + "/job-" + std::to_string(jobId) + ".prn";
            TestSupport::WriteFileText(path, data);
            arguments.push_back(path);
        }
        return arguments;
    }

    TestSupport::ChildRecord Record(int jobId) const
    {
        return TestSupport::ReadChildRecord(mSetup.Records(), std::to_string(jobId));
    }

    // The last line a hook wrote to standard error.
    static std::string LastLine(const std::string& text)
    {
        std::string lines = text.substr(0, text.find_last_not_of('\n') + 1);
        return lines.substr(lines.rfind('\n') + 1);
    }

    bool BackendRan(int jobId) const { return fs::exists(mSetup.Records() + "/" + std::to_string(jobId) + ".txt"); }

    // Pages of all page sets of a page-set message.
    static int TotalPages(const RawDataJobProperties& properties)
    {
        int pages = 0;
        for (const auto& pageSet : properties.GetPageSets())
            pages += pageSet.mintMonoPages + pageSet.mintColorPages;
        return pages;
    }

    // Runs a job that the client prints after its page sets, with the
    // sanitizers' quarantine kept small, so that the hook's peak memory is
    // its own; the job must print whole.
    std::pair<HookResult, RawDataJobProperties> PrintedAfterPageSets(int jobId, const std::string& data)
    {
        const char* inherited = std::getenv("ASAN_OPTIONS");
        const std::string asanOptions = std::string(inherited != nullptr ? inherited : "") + ":quarantine_size_mb=4";
        FakeClient client(mstrUser, FakeClient::Script::PrintAfterPageSets);
        HookResult result = mSetup.Run(mSetup.JobArguments(jobId, mstrUser), StdinFeed{data, true},
                                       {{"ASAN_OPTIONS", asanOptions}});
        client.Finish();
        EXPECT_EQ(result.status, 0) << result.errors;
        EXPECT_TRUE(Record(jobId).data == data);
        EXPECT_TRUE(client.PageSetReply().has_value());
        return {result, RawDataJobProperties(client.PageSetReply().value_or(ClientMessage()))};
    }

    HookTests::HookSetup mSetup;
    std::string mstrUser = Platform::CurrentUserName();
};

}  // namespace

TEST_F(HookJobTest, ClientAnswersDecideWhatBecomesOfTheJob)
{
    using Script = FakeClient::Script;
    struct AnswerCase {
        const char* name;
        Script script;
        bool inFile;
        int expectedStatus;
        bool prints;
        const char* toScheduler;  // the last line the scheduler was told
    };
    const char* waiting = "INFO: Waiting for the answer of the Quorvel Client of ";
    const AnswerCase cases[] = {
        {"print after page sets, standard input", Script::PrintAfterPageSets, false, 0, true, waiting},
        {"print after page sets, file", Script::PrintAfterPageSets, true, 0, true, waiting},
        {"print at once, standard input", Script::PrintAtOnce, false, 0, true, waiting},
        {"print at once, file", Script::PrintAtOnce, true, 0, true, waiting},
        {"cancel", Script::Cancel, false, 5, false, "ERROR: Job cancelled by Quorvel Client."},
        {"client closes after asking for pages", Script::CloseAfterPageRequest, false, 5, false,
         "ERROR: Job cancelled: the connection to Quorvel Client failed."},
        {"unknown request", Script::UnknownRequest, false, 5, false,
         "ERROR: Job cancelled: Quorvel Client sent an unknown request."},
        {"invalid message", Script::InvalidMessage, false, 5, false,
         "ERROR: Job cancelled: Quorvel Client sent an invalid message."},
    };
    const std::string job = HookTests::SampleJob();
    int jobId = 40;
    for (const auto& c : cases) {
        ++jobId;
        FakeClient client(mstrUser, c.script);
        ASSERT_TRUE(client.IsListening());
        auto arguments = Arguments(jobId, c.inFile, job);
        HookResult result = mSetup.Run(arguments, StdinFeed{c.inFile ? std::string() : job, true});
        client.Finish();

        EXPECT_EQ(result.status, c.expectedStatus) << c.name << "\n" << result.errors;
        EXPECT_EQ(LastLine(result.errors).rfind(c.toScheduler, 0), 0u) << c.name << ": " << result.errors;
        EXPECT_EQ(client.AnnouncedJobId(), static_cast<uint32_t>(jobId)) << c.name;
        ASSERT_EQ(BackendRan(jobId), c.prints) << c.name;
        if (c.prints) {
            auto record = Record(jobId);
            EXPECT_TRUE(record.data == job) << c.name << ": " << record.data.size() << " bytes";
            ASSERT_EQ(record.Get("argc"), std::to_string(arguments.size())) << c.name;
            for (size_t i = 0; i < arguments.size(); ++i)
                EXPECT_EQ(record.Get("argv[" + std::to_string(i) + "]"), arguments[i]) << c.name;
        }
        if (c.script == Script::PrintAfterPageSets) {
            ASSERT_TRUE(client.PageSetReply().has_value()) << c.name;
            RawDataJobProperties properties(*client.PageSetReply());
            EXPECT_EQ(properties.GetJobId(), static_cast<uint32_t>(jobId)) << c.name;
            EXPECT_EQ(TotalPages(properties), HookTests::kSampleJobPages) << c.name;
            EXPECT_EQ(properties.GetCopies(), HookTests::kSampleJobCopies) << c.name;
            EXPECT_TRUE(properties.IsDuplex()) << c.name;
        }
    }
}

// CUPS asks the backend for copies in argument 4; the backend makes them
// itself only when the job file is argument 6. Those copies multiply the
// copies the job data makes; with the data on standard input the filters
// made the copies, and they are not counted twice.
TEST_F(HookJobTest, CopiesTheBackendMakesMultiplyTheJobsOwn)
{
    struct CopiesCase {
        bool inFile;
        const char* copiesArgument;
        uint32_t reported;
    };
    const uint32_t own = HookTests::kSampleJobCopies;
    const CopiesCase cases[] = {
        {true, "3", 3 * own}, {true, "1", own}, {false, "3", own}, {true, "0", own}, {true, "3x", own},
    };
    const std::string job = HookTests::SampleJob();
    int jobId = 100;
    for (const auto& c : cases) {
        ++jobId;
        SCOPED_TRACE(std::string(c.inFile ? "file, " : "standard input, ") + c.copiesArgument);
        FakeClient client(mstrUser, FakeClient::Script::PrintAfterPageSets);
        auto arguments = Arguments(jobId, c.inFile, job);
        arguments[4] = c.copiesArgument;
        HookResult result = mSetup.Run(arguments, StdinFeed{c.inFile ? std::string() : job, true});
        client.Finish();
        EXPECT_EQ(result.status, 0) << result.errors;
        ASSERT_TRUE(client.PageSetReply().has_value());
        RawDataJobProperties properties(*client.PageSetReply());
        EXPECT_EQ(properties.GetCopies(), c.reported);
        EXPECT_EQ(TotalPages(properties), HookTests::kSampleJobPages);
    }
}

TEST_F(HookJobTest, PayloadCopyServesTheClientAndIsRemovedWhenNoClientRuns)
{
    const std::string job = TestSupport::RandomBytes(200000);
    for (bool clientRuns : {true, false}) {
        int jobId = clientRuns ? 7 : 8;
        TestSupport::WriteFileText(mSetup.CupsSpoolFile(jobId), job);
        TestSupport::WriteFileText(mSetup.LaunchLog(), "");
        bool copyHeldJob = false;
        std::optional<FakeClient> client;
        if (clientRuns)
            client.emplace(mstrUser, FakeClient::Script::PrintAtOnce, [&] {
                copyHeldJob = TestSupport::ReadFileText(mSetup.PayloadCopy(jobId)) == job;
            });
        HookResult result = mSetup.Run(mSetup.JobArguments(jobId, mstrUser), StdinFeed{job});
        if (client)
            client->Finish();

        EXPECT_EQ(result.status, 0) << result.errors;
        EXPECT_TRUE(Record(jobId).data == job) << "client " << clientRuns;
        EXPECT_FALSE(fs::exists(mSetup.PayloadCopy(jobId))) << "client " << clientRuns;
        if (clientRuns) {
            EXPECT_TRUE(copyHeldJob);
        } else {
            // The hook tried to start the client and waited for it in vain.
            std::string launches = TestSupport::ReadFileText(mSetup.LaunchLog());
            EXPECT_EQ(launches, "stop quorvel-client.service " + mstrUser + "\nstart quorvel-client.service " + mstrUser
                                    + "\n");
            EXPECT_EQ(result.errors, "INFO: Starting the Quorvel Client of " + mstrUser + ".\nINFO: No Quorvel Client of "
                                         + mstrUser + " answered; the job prints without accounting.\n");
        }
    }
}

// A client that answers without a job thread of its own (a job id it has
// handled already, a refused connection) never removes the hook's copy of
// the job; the hook does once the exchange is over, whatever the answer.
TEST_F(HookJobTest, PayloadCopyIsRemovedWhenTheExchangeEnds)
{
    using Script = FakeClient::Script;
    const std::string job = TestSupport::RandomBytes(20000);
    int jobId = 60;
    for (Script script : {Script::PrintAtOnce, Script::Cancel, Script::InvalidMessage}) {
        ++jobId;
        TestSupport::WriteFileText(mSetup.CupsSpoolFile(jobId), job);
        FakeClient client(mstrUser, script);
        ASSERT_TRUE(client.IsListening());
        HookResult result = mSetup.Run(mSetup.JobArguments(jobId, mstrUser), StdinFeed{job});
        client.Finish();
        EXPECT_EQ(client.AnnouncedJobId(), static_cast<uint32_t>(jobId)) << result.errors;
        EXPECT_FALSE(fs::exists(mSetup.PayloadCopy(jobId))) << "job " << jobId;
    }
}

TEST_F(HookJobTest, WrappedBackendStatusBecomesTheHooksStatus)
{
    const std::string job = HookTests::SampleJob();
    int jobId = 60;
    for (bool clientRuns : {true, false}) {
        for (int backendStatus : {1, 4}) {
            ++jobId;
            std::optional<FakeClient> client;
            if (clientRuns)
                client.emplace(mstrUser, FakeClient::Script::PrintAfterPageSets);
            HookResult result = mSetup.Run(mSetup.JobArguments(jobId, mstrUser), StdinFeed{job, true},
                                           {{"CVK_RECORD_EXIT", std::to_string(backendStatus)}});
            if (client)
                client->Finish();
            EXPECT_EQ(result.status, backendStatus) << "client " << clientRuns;
            EXPECT_TRUE(Record(jobId).data == job) << "client " << clientRuns;
        }
    }
}

TEST_F(HookJobTest, LargeJobOnStandardInputIsSpooledNotHeldInMemory)
{
    // Peak memory of the same road for a small job, then for one five times
    // larger than the hook may hold in memory.
    // Under AddressSanitizer freed memory stays resident in its quarantine;
    // a small one keeps the peak about live memory.
    const char* inherited = std::getenv("ASAN_OPTIONS");
    std::string asanOptions = std::string(inherited != nullptr ? inherited : "") + ":quarantine_size_mb=4";
    auto run = [&](int jobId, const std::string& job) {
        FakeClient client(mstrUser, FakeClient::Script::PrintAfterPageSets);
        HookResult result = mSetup.Run(mSetup.JobArguments(jobId, mstrUser), StdinFeed{job, true},
                                       {{"ASAN_OPTIONS", asanOptions}});
        client.Finish();
        EXPECT_EQ(result.status, 0) << result.errors;
        EXPECT_TRUE(client.PageSetReply().has_value());
        return result.peakMemoryKb;
    };
    // Without debug logging the hook writes no dump of the data it parses.
    mSetup.Root().WriteClientPreferences({{"ClientServicesUrl", "https://accounting.example:9443"},
                                          {"DebugLogging", "0"}});
    const std::string small = TestSupport::RandomBytes(4096, 1);
    long smallPeak = run(90, small);

    const std::string large = TestSupport::RandomBytes(40 * 1024 * 1024, 2);
    long largePeak = run(91, large);
    auto record = Record(91);
    ASSERT_EQ(record.data.size(), large.size());
    EXPECT_TRUE(record.data == large);
    EXPECT_TRUE(Record(90).data == small);
    // The memory part of the spool (8 MiB) and some slack, far below 40 MB.
    RecordProperty("PeakMemoryKbSmallJob", static_cast<int>(smallPeak));
    RecordProperty("PeakMemoryKbLargeJob", static_cast<int>(largePeak));
    EXPECT_LT(largePeak - smallPeak, 16 * 1024) << "small " << smallPeak << " kB, large " << largePeak << " kB";
    // The spill file had no name and is gone with the hook.
    EXPECT_TRUE(fs::is_empty(mSetup.SpillFolder()));
}

// A PDF larger than the memory part of the spool is read from the spool (its
// memory, then its temporary file): the pages are counted, and the hook holds
// no copy of its own. Here the five pages of the driverless corpus carry a
// 40 MB stream that no page uses, as a big embedded file would be.
TEST_F(HookJobTest, LargePdfOnStandardInputIsCountedFromTheSpool)
{
    const std::string random = TestSupport::RandomBytes(40 * 1024 * 1024, 3);
    QPDF pdf;
    pdf.processFile(CVK_DRIVERLESS_DATA_DIR "/gs-five.pdf");
    pdf.getTrailer().replaceKey("/Ballast", pdf.makeIndirectObject(QPDFObjectHandle::newStream(&pdf, random)));
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setCompressStreams(false);
    writer.write();
    auto buffer = writer.getBufferSharedPointer();
    const std::string job(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
    ASSERT_GT(job.size(), random.size());

    mSetup.Root().WriteClientPreferences({{"ClientServicesUrl", "https://accounting.example:9443"},
                                          {"DebugLogging", "0"}});
    // The hook's peak memory for the plain five pages, then for the large PDF.
    auto run = [&](int jobId, const std::string& data) {
        const auto [result, properties] = PrintedAfterPageSets(jobId, data);
        EXPECT_EQ(properties.GetPageSets().size(), 1u) << jobId;
        for (const auto& pageSet : properties.GetPageSets()) {
            EXPECT_EQ(pageSet.GetName(), "A4");
            EXPECT_EQ(pageSet.mintMonoPages, 3);
            EXPECT_EQ(pageSet.mintColorPages, 2);
        }
        return result.peakMemoryKb;
    };
    const long smallPeak = run(94, TestSupport::ReadFileText(CVK_DRIVERLESS_DATA_DIR "/gs-five.pdf"));
    const long largePeak = run(95, job);
    // The spool's 8 MiB in memory and the reading's own buffers (about 15.5
    // MiB in all under the sanitizers, some hundred kB more on a busy
    // machine), far below the job's 40 MB.
    RecordProperty("PeakMemoryKbSmallPdf", static_cast<int>(smallPeak));
    RecordProperty("PeakMemoryKbLargePdf", static_cast<int>(largePeak));
    EXPECT_LT(largePeak - smallPeak, 20 * 1024) << "small " << smallPeak << " kB, large " << largePeak << " kB";
}

// Hostile PDF jobs of a few hundred kilobytes that decode to gigabytes, or
// ask for the same large form on every page, or hold a hundred thousand
// pages: the root hook answers each within its memory bound and in bounded
// time, what it could not judge counts as colour, and every job prints.
TEST_F(HookJobTest, HostilePdfJobsStayWithinTheHooksBounds)
{
    using namespace TestSupport::HostilePdf;
    struct HostileJob {
        const char* name;
        std::function<std::string()> make;
        int mono;
        int colour;  // both 0: the document is not read (too large to hold), no page sets
        double cpuSeconds;  // at most, under the sanitizers
    };
    const HostileJob jobs[] = {
        {"a content stream of 1 GiB of zeros", [] { return ZerosThenRed(1024 * MiB); }, 0, 1, 15},
        {"12 nested forms of 60 MiB", [] { return NestedForms(12, 60 * MiB); }, 0, 1, 15},
        {"one 60 MiB form on 200 pages", [] { return FormOnEveryPage(200, 60 * MiB); }, 200, 0, 10},
        {"9,000 tiny pages", [] { return TinyPages(9000); }, 9000, 0, 15},
        {"100,000 tiny pages", [] { return TinyPages(100000); }, 0, 0, 10},
        {"an object stream of 1 GiB", [] { return ObjectStreamBomb(1024 * MiB); }, 0, 0, 15},
        {"red behind 64 MiB of padding", [] { return ZerosThenRed(64 * MiB + 4096); }, 0, 1, 10},
    };
    mSetup.Root().WriteClientPreferences({{"ClientServicesUrl", "https://accounting.example:9443"},
                                          {"DebugLogging", "0"}});
    const long smallPeak =
        PrintedAfterPageSets(96, TestSupport::ReadFileText(CVK_DRIVERLESS_DATA_DIR "/gs-five.pdf")).first.peakMemoryKb;
    int jobId = 97;
    for (const HostileJob& job : jobs) {
        const std::string data = job.make();
        ASSERT_LT(data.size(), 2 * MiB) << job.name;
        const auto [result, properties] = PrintedAfterPageSets(jobId++, data);
        int mono = 0;
        int colour = 0;
        for (const auto& pageSet : properties.GetPageSets()) {
            mono += pageSet.mintMonoPages;
            colour += pageSet.mintColorPages;
        }
        EXPECT_EQ(mono, job.mono) << job.name;
        EXPECT_EQ(colour, job.colour) << job.name;
        EXPECT_LT(result.peakMemoryKb - smallPeak, 64 * 1024) << job.name << ": small " << smallPeak << " kB";
        EXPECT_LT(result.cpuSeconds, job.cpuSeconds) << job.name;
        std::printf("%s: peak %ld kB (small PDF %ld kB), %.2f s\n", job.name, result.peakMemoryKb, smallPeak,
                    result.cpuSeconds);
    }
}

// The job file of argument 6 is read only when it is a regular file reached
// without a link: for a missing file, a link to another file or a folder at
// its name the job still answers and prints, without page sets, and
// nothing of another file reaches a parser dump (debug logging is on). A
// regular file is read and dumped, as the control.
TEST_F(HookJobTest, OnlyARegularJobFileIsReadAndDumped)
{
    const std::string secret = HookTests::SampleJob();
    const std::string secretPath = mSetup.Root().Path() + "/someone-elses.prn";
    TestSupport::WriteFileText(secretPath, secret);
    const struct {
        const char* what;
        std::function<void(const std::string&)> make;
        bool read;
    } cases[] = {
        {"a regular file", [&](const std::string& path) { TestSupport::WriteFileText(path, secret); }, true},
        {"no file", [](const std::string&) {}, false},
        {"a link to another file", [&](const std::string& path) { fs::create_symlink(secretPath, path); }, false},
        {"a folder", [](const std::string& path) { fs::create_directory(path); }, false},
    };
    int jobId = 70;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ++jobId;
        std::string path = mSetup.Root().Path() + "/job-file-" + std::to_string(jobId);
        c.make(path);
        FakeClient client(mstrUser, FakeClient::Script::PrintAfterPageSets);
        auto arguments = mSetup.JobArguments(jobId, mstrUser);
        arguments.push_back(path);
        HookResult result = mSetup.Run(arguments, StdinFeed{});
        client.Finish();

        EXPECT_EQ(result.status, 0) << result.errors;
        EXPECT_TRUE(BackendRan(jobId));
        ASSERT_TRUE(client.PageSetReply().has_value());
        RawDataJobProperties properties(*client.PageSetReply());
        EXPECT_EQ(properties.GetJobId(), static_cast<uint32_t>(jobId));
        EXPECT_EQ(properties.GetPageSets().empty(), !c.read);
        std::string dump = fs::path(mSetup.PayloadCopy(jobId)).parent_path() / (".parser_" + std::to_string(jobId) + ".parser");
        EXPECT_EQ(TestSupport::ReadFileText(dump) == secret, c.read);
    }
    EXPECT_NE(mSetup.LogText().find("Unable to open the job file"), std::string::npos);
}

TEST_F(HookJobTest, SilentStandardInputEndsTheParseWithoutSpinningAndKeepsTheJob)
{
    // Five waits of 30 scaled seconds (60 ms each) pass before the data
    // comes; the job still reaches the backend whole.
    const std::string job = HookTests::SampleJob();
    FakeClient client(mstrUser, FakeClient::Script::PrintAfterPageSets);
    HookResult result = mSetup.Run(mSetup.JobArguments(80, mstrUser),
                                   StdinFeed{job, true, std::chrono::milliseconds(1500)});
    client.Finish();

    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_TRUE(Record(80).data == job);
    ASSERT_TRUE(client.PageSetReply().has_value());
    EXPECT_TRUE(RawDataJobProperties(*client.PageSetReply()).GetPageSets().empty());
    std::string log = mSetup.LogText();
    EXPECT_NE(log.find("Error after read - Error#"), std::string::npos);
    EXPECT_NE(log.find("Parsing failed... Continue reading remainder of buffer"), std::string::npos);
    EXPECT_LT(result.cpuSeconds, 1.0);
}

// The scheduler stops the hook (SIGTERM) while the wrapped backend prints:
// the backend is stopped before it has the whole job, and the job's copy
// for secure release goes.
TEST_F(HookJobTest, StoppedHookStopsTheBackendAndRemovesTheCopy)
{
    const std::string job = HookTests::SampleJob();
    TestSupport::WriteFileText(mSetup.CupsSpoolFile(95), job);
    FakeClient client(mstrUser, FakeClient::Script::PrintAtOnce);
    std::string started = mSetup.Records() + "/95.txt.part";
    bool copyWhileRunning = false;
    // The data comes only after the stop, so the backend waits for it.
    HookResult result = mSetup.Run(mSetup.JobArguments(95, mstrUser), StdinFeed{job, true, std::chrono::seconds(3)}, {},
                                   [&](pid_t hook) {
                                       if (!TestSupport::WaitUntil([&] { return fs::exists(started); },
                                                                   std::chrono::seconds(20)))
                                           return;
                                       copyWhileRunning = fs::exists(mSetup.PayloadCopy(95));
                                       kill(hook, SIGTERM);
                                   });
    client.Finish();
    EXPECT_EQ(result.status, -1) << "ended by the signal\n" << result.errors;
    EXPECT_TRUE(copyWhileRunning);
    EXPECT_FALSE(fs::exists(mSetup.PayloadCopy(95)));
    EXPECT_FALSE(BackendRan(95));
}
