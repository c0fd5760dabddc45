// Job, printer and PPD queries and cancelling against a private cupsd.
#include "Core/CVModels/Job.h"
#include "Core/CupsAccess/CupsJobHelper.h"
#include "Core/CupsAccess/CupsRequest.h"
#include "Core/PrinterAddress/PrinterAddressHelper.h"

#include "tests/Support/ChildProgram.h"
#include "tests/Support/PrivateCupsd.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <cups/cups.h>

#include <filesystem>
#include <sys/socket.h>
#include <thread>

using namespace CVClientData;
namespace fs = std::filesystem;

namespace {

constexpr const char* kQueue = "Front_Desk";

// A private root and scheduler with one PPD queue whose backend records
// what it is given.
class CupsQueryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mCupsd.Running()) << mCupsd.ErrorLog();
        // cupsGetPPD copies the PPD into the temporary folder.
        mstrTemp = mRoot.Host("/tmp");
        setenv("TMPDIR", mstrTemp.c_str(), 1);
        mCupsd.UseAsDefaultServer();
        ASSERT_TRUE(mCupsd.InstallRecordingBackend("cvkrec"));
        ASSERT_TRUE(mCupsd.AddQueue(kQueue, "cvkrec://printer.example/front",
                                    std::string(CVK_TEST_DATA_DIR) + "/acme-color-duplex.ppd",
                                    {"-L", "Bob\xE2\x80\x99s desk"}));
        mstrJobFile = mRoot.Path() + "/job.txt";
        TestSupport::WriteFileText(mstrJobFile, "Hello, printer.\n");
    }

    void TearDown() override { unsetenv("TMPDIR"); }

    // A held job of alice's.
    int SubmitHeldJob(const std::vector<std::string>& options = {}) const
    {
        std::vector<std::string> all{"-H", "hold", "-o", "raw"};
        all.insert(all.end(), options.begin(), options.end());
        return mCupsd.SubmitJob(kQueue, mstrJobFile, all, "alice");
    }

    TestSupport::TempRoot mRoot;
    TestSupport::PrivateCupsd mCupsd;
    std::string mstrTemp;
    std::string mstrJobFile;
};

Job JobOf(const std::string& user)
{
    Job job;
    job.GetUser().NetworkName = user;
    return job;
}

std::string ComputerNameForm(std::string host)
{
    std::replace(host.begin(), host.end(), '.', '_');
    return host;
}

}  // namespace

TEST_F(CupsQueryTest, HeldJobPrinterAndDriverFillTheJob)
{
    int jobId = SubmitHeldJob({"-t", "Quarterly Report", "-n", "2", "-o", "ColorModel=Gray"});
    ASSERT_GT(jobId, 0);
    Job job = JobOf("alice");
    CupsJobHelper::QuerySpooler(job, static_cast<uint64_t>(jobId));

    EXPECT_EQ(job.CupsId, static_cast<uint64_t>(jobId));
    EXPECT_EQ(job.DocumentName, "Quarterly Report");
    EXPECT_EQ(job.Costing.Copies, 2u);
    EXPECT_EQ(job.CUPSNumberOfPages, 0u);  // a raw job's pages are not known yet
    EXPECT_EQ(job.Costing.NUpCount, 1u);
    EXPECT_EQ(job.ProcessName, "Unknown");
    EXPECT_EQ(job.GetComputerName(), ComputerNameForm(PrinterAddressHelper::GetLocalHostName()));
    EXPECT_TRUE(job.FoundJobColorInfo);
    EXPECT_FALSE(job.ColorMode);  // the job asked for grey
    EXPECT_FALSE(job.FoundJobDuplexInfo);
    EXPECT_TRUE(job.Costing.IsDuplex);  // the PPD's default
    EXPECT_EQ(job.JobType, 1);
    EXPECT_GT(job.DatePrinted.tm_year, 120);

    const Printer& printer = job.GetPrinter();
    EXPECT_TRUE(printer.PrinterUri.ends_with("/printers/Front_Desk")) << printer.PrinterUri;
    EXPECT_EQ(printer.Name, "Front Desk");
    EXPECT_EQ(printer.Location, "Bob_s desk");
    EXPECT_EQ(printer.ManufacturerModel, "Acme Laser 9000, 1.2");
    EXPECT_TRUE(printer.ColorCapable);
    EXPECT_TRUE(printer.DuplexCapable);
    EXPECT_EQ(printer.Host, PrinterAddressHelper::GetLocalHostName());
    EXPECT_EQ(printer.Port, "cvkrec:/front");
    EXPECT_EQ(printer.Driver, "Acme (Acme Laser 9000)");
    EXPECT_EQ(printer.DriverVersion, "Acme Laser 9000, 1.2");

    EXPECT_EQ(job.DefaultPageSet.SizeName, "Letter");
    EXPECT_EQ(job.DefaultPageSet.Width, 2159);
    EXPECT_EQ(job.DefaultPageSet.Height, 2794);
    EXPECT_EQ(job.DefaultPageSet.PageUnits, 1);
    EXPECT_EQ(job.DefaultPageSet.BWPages, 0);

    // The temporary copy of the PPD is gone again.
    EXPECT_TRUE(fs::is_empty(mstrTemp)) << fs::directory_iterator(mstrTemp)->path();
}

TEST_F(CupsQueryTest, MonochromePpdWithSecondDuplexKeyword)
{
    ASSERT_TRUE(mCupsd.InstallRecordingBackend("socket"));
    // A host name that resolves stands as host and port, with no hardware look-up.
    ASSERT_TRUE(mCupsd.AddQueue("Mono", "socket://localhost:9", std::string(CVK_TEST_DATA_DIR) + "/mono-simplex.ppd"));
    int jobId = mCupsd.SubmitJob("Mono", mstrJobFile, {"-H", "hold", "-o", "raw"}, "alice");
    ASSERT_GT(jobId, 0);
    Job job = JobOf("alice");
    CupsJobHelper::QuerySpooler(job, static_cast<uint64_t>(jobId));
    EXPECT_FALSE(job.ColorMode);
    EXPECT_FALSE(job.GetPrinter().ColorCapable);
    EXPECT_FALSE(job.Costing.IsDuplex);
    EXPECT_EQ(job.DefaultPageSet.SizeName, "A4");
    EXPECT_EQ(job.DefaultPageSet.Width, 2099);
    EXPECT_EQ(job.DefaultPageSet.Height, 2970);
    EXPECT_EQ(job.GetPrinter().Host, "127.0.0.1");
    EXPECT_EQ(job.GetPrinter().Port, "127.0.0.1:9");
    EXPECT_EQ(job.GetPrinter().MACAddress, "");
    EXPECT_EQ(job.GetPrinter().Driver, "Mono (Mono Writer)");
}

// A PPD read for one job is only asked about for the next: the server sends
// it again once it changed.
TEST_F(CupsQueryTest, ThePpdIsReadAgainOnlyOnceChanged)
{
    const std::string ppd = mCupsd.Folder() + "/conf/ppd/" + kQueue + ".ppd";
    fs::last_write_time(ppd, fs::file_time_type::clock::now() - std::chrono::minutes(1));
    int jobId = SubmitHeldJob();
    ASSERT_GT(jobId, 0);
    auto query = [&] {
        Job job = JobOf("alice");
        CupsJobHelper::QuerySpooler(job, static_cast<uint64_t>(jobId));
        return job.DefaultPageSet.SizeName + "|" + job.GetPrinter().Driver + "|"
               + (job.Costing.IsDuplex ? "duplex" : "simplex");
    };
    EXPECT_EQ(query(), "Letter|Acme (Acme Laser 9000)|duplex");
    EXPECT_EQ(query(), "Letter|Acme (Acme Laser 9000)|duplex");
    // The access log lists each request with its answer's status, once the
    // answer went out.
    auto answered = [&](size_t fetched, size_t unchanged) {
        auto count = [](const std::string& log, const std::string& status) {
            const std::string line = std::string("\"GET /printers/") + kQueue + ".ppd HTTP/1.1\" " + status + " ";
            size_t found = 0;
            for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1))
                ++found;
            return found;
        };
        return TestSupport::WaitUntil(
            [&] {
                const std::string log = TestSupport::ReadFileText(mCupsd.Folder() + "/log/access_log");
                return count(log, "200") == fetched && count(log, "304") == unchanged;
            },
            std::chrono::seconds(5));
    };
    EXPECT_TRUE(answered(1, 1));

    // A new PPD for the queue is read at once.
    ASSERT_TRUE(mCupsd.AddQueue(kQueue, "cvkrec://printer.example/front",
                                std::string(CVK_TEST_DATA_DIR) + "/mono-simplex.ppd"));
    EXPECT_EQ(query(), "A4|Mono (Mono Writer)|simplex");
    EXPECT_TRUE(answered(2, 1));
    EXPECT_TRUE(fs::is_empty(mstrTemp));
}

// The job's, the printer's and the PPD's questions share one connection.
TEST_F(CupsQueryTest, OneConnectionCarriesTheJobsQueries)
{
    int jobId = SubmitHeldJob();
    ASSERT_GT(jobId, 0);
    auto accepted = [&] {
        const std::string log = mCupsd.ErrorLog();
        size_t count = 0;
        for (size_t at = log.find("] Accepted from "); at != std::string::npos; at = log.find("] Accepted from ", at + 1))
            ++count;
        return count;
    };
    const size_t before = accepted();
    Job job = JobOf("alice");
    CupsJobHelper::QuerySpooler(job, static_cast<uint64_t>(jobId));
    EXPECT_EQ(job.GetPrinter().Driver, "Acme (Acme Laser 9000)");
    EXPECT_EQ(accepted() - before, 1u);
}

TEST_F(CupsQueryTest, CancelledJobBecomesCanceled)
{
    int jobId = SubmitHeldJob();
    ASSERT_GT(jobId, 0);
    EXPECT_EQ(CupsRequest::CancelJob(kQueue, jobId), 1);
    EXPECT_TRUE(mCupsd.WaitForJobState(jobId, IPP_JSTATE_CANCELED));
    EXPECT_EQ(CupsRequest::CancelJob(kQueue, 99999), 0);
}

TEST_F(CupsQueryTest, ReleasedJobReachesTheBackendWhole)
{
    int jobId = SubmitHeldJob({"-t", "Notes"});
    ASSERT_GT(jobId, 0);
    ASSERT_TRUE(mCupsd.ReleaseJob(jobId));
    ASSERT_TRUE(mCupsd.WaitForJobState(jobId, IPP_JSTATE_COMPLETED)) << mCupsd.ErrorLog();
    std::string record = TestSupport::ReadFileText(mCupsd.RecordFolder() + "/" + std::to_string(jobId) + ".txt");
    EXPECT_NE(record.find("argv[0]=cvkrec://printer.example/front\n"), std::string::npos) << record;
    EXPECT_NE(record.find("argv[2]=alice\n"), std::string::npos);
    EXPECT_NE(record.find("argv[3]=Notes\n"), std::string::npos);
    EXPECT_NE(record.find("env:CUPS_SERVERBIN=" + mCupsd.ServerBin() + "\n"), std::string::npos);
    EXPECT_EQ(TestSupport::ReadFileText(mCupsd.RecordFolder() + "/" + std::to_string(jobId) + ".data"),
              "Hello, printer.\n");
}

TEST_F(CupsQueryTest, DomainSocketServerAnswersToo)
{
    int jobId = SubmitHeldJob({"-t", "Via socket"});
    ASSERT_GT(jobId, 0);
    cupsSetServer(mCupsd.SocketPath().c_str());
    Job job = JobOf("alice");
    job.CupsId = static_cast<uint64_t>(jobId);
    CupsJobHelper::QuerySpoolerJobInfo(job);
    EXPECT_EQ(job.DocumentName, "Via socket");
}

TEST_F(CupsQueryTest, UnreachableServerLeavesTheJobAsItWas)
{
    cupsSetServer(("127.0.0.1:" + std::to_string(TestSupport::FreeLoopbackPort(SOCK_STREAM))).c_str());
    Job job = JobOf("alice");
    job.DocumentName = "kept";
    CupsJobHelper::QuerySpooler(job, 42);
    EXPECT_EQ(job.CupsId, 42u);
    EXPECT_EQ(job.DocumentName, "kept");
    EXPECT_EQ(job.Costing.Copies, 1u);
    EXPECT_EQ(job.GetPrinter().Name, "");
    EXPECT_EQ(job.GetPrinter().Port, "");
    EXPECT_EQ(job.JobType, 1);
    EXPECT_GT(job.DatePrinted.tm_year, 120);
}

TEST_F(CupsQueryTest, JobThreadsQueryAtTheSameTime)
{
    std::vector<int> jobIds;
    for (int i = 0; i < 4; ++i)
        jobIds.push_back(SubmitHeldJob({"-t", "Job " + std::to_string(i)}));
    std::vector<std::string> names(jobIds.size());
    std::vector<std::thread> threads;
    // Each thread finds the server through CUPS_SERVER, as job threads do.
    for (size_t i = 0; i < jobIds.size(); ++i)
        threads.emplace_back([&, i] {
            Job job = JobOf("alice");
            CupsJobHelper::QuerySpooler(job, static_cast<uint64_t>(jobIds[i]));
            names[i] = job.DocumentName + "|" + job.GetPrinter().Name;
        });
    for (auto& thread : threads)
        thread.join();
    for (size_t i = 0; i < jobIds.size(); ++i)
        EXPECT_EQ(names[i], "Job " + std::to_string(i) + "|Front Desk");
}
