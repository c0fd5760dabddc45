// A driverless queue as users have one: a loopback IPP Everywhere printer
// (tests/Support/programs/LoopbackIppPrinter.cpp) added to the private cupsd
// with CUPS's own PPD (lpadmin -m everywhere) or, as cups-browsed makes it,
// with cups-filters' driverless PPD generator for a printer that takes no
// PDF; its ipp backend wrapped by cvkhook, jobs filtered by cups-filters as
// cupsd runs them; billed on their whole road, and checked beside what the
// printer received.
#include "tests/EndToEnd/EndToEndWorld.h"
#include "tests/EndToEnd/ServerJobSummary.h"
#include "tests/Parser/ExpectedPageSets.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/NamedCases.h"
#include "tests/Support/SystemProgram.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <cups/ipp.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using EndToEnd::EndToEndWorld;
using EndToEnd::Tracking;
using ParserTestSupport::ExpectedSet;
using TestSupport::operator<<;

constexpr const char* kQueue = "Everywhere";

struct DriverlessCase {
    const char* Name;
    const char* mstrFile;
    std::vector<std::string> mvecOptions;  // lp's; "-o raw" sends the file as it is
    std::vector<ExpectedSet> mvecPages;
    bool mblnDuplex;
    const char* mstrFormat;  // how what the printer received begins
    const char* mstrPrinterHeard = nullptr;  // an attribute line of the printer's record of the job
    bool mblnRasterQueue = false;  // the printer takes no PDF; its queue made by cups-filters' generator
};

// five-pages.ps colours pages 2 and 4 (tests/ParserDriverless/data).
const DriverlessCase CASES[] = {
    {"pdf_five_pages", CVK_DRIVERLESS_DATA_DIR "/gs-five.pdf", {}, {{"A4", 2100, 2970, 3, 2}}, false, "%PDF-"},
    // pdftopdf puts two pages on a side: 1+2 and 3+4 hold colour.
    {"pdf_number_up_2", CVK_DRIVERLESS_DATA_DIR "/gs-five.pdf", {"-o", "number-up=2"}, {{"A4", 2100, 2970, 1, 2}},
     false, "%PDF-"},
    // The PDF cannot say it; the job's option does, and the printer hears it.
    {"pdf_two_sided", CVK_DRIVERLESS_DATA_DIR "/gs-five.pdf", {"-o", "sides=two-sided-long-edge"},
     {{"A4", 2100, 2970, 3, 2}}, true, "%PDF-", "sides=two-sided-long-edge"},
    // A4 text, A4 with a red square, Letter text, with duplex in its headers,
    // as an application that renders for the printer sends it.
    {"pwg_raster_two_sided", CVK_DRIVERLESS_DATA_DIR "/gs-three-srgb16-duplex.pwg", {"-o", "raw"},
     {{"A4", 2100, 2970, 1, 1}, {"Letter", 2159, 2794, 1, 0}}, true, "RaS2"},
    // The generated PPD sends Apple Raster: pdftopdf | gstoraster | rastertopwg.
    {"urf_five_pages", CVK_DRIVERLESS_DATA_DIR "/gs-five.pdf", {}, {{"A4", 2100, 2970, 3, 2}}, false, "UNIRAST",
     "document-format=image/urf", true},
    // pdftopdf puts two pages on a side before the pages are rendered.
    {"urf_number_up_2", CVK_DRIVERLESS_DATA_DIR "/gs-five.pdf", {"-o", "number-up=2"}, {{"A4", 2100, 2970, 1, 2}},
     false, "UNIRAST", "document-format=image/urf", true},
};

class DriverlessQueue : public testing::TestWithParam<DriverlessCase> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(mWorld.Problem(), "");
        const std::string serverBin = mWorld.Cupsd().ServerBin();
        std::error_code error;
        fs::create_directories(mstrPrinterFolder, error);
        const bool rasterQueue = GetParam().mblnRasterQueue;
        std::vector<std::string> printer{CVK_LOOPBACK_IPP_PRINTER, "0", mstrPrinterFolder};
        if (rasterQueue)
            printer.push_back("raster-only");
        mPrinter = TestSupport::StartProgram(printer, mstrPrinterFolder + "/printer.log");
        ASSERT_GT(mPrinter, 0);
        for (int tries = 0; tries < 100 && mstrPort.empty(); ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const std::string log = TestSupport::ReadFileText(mstrPrinterFolder + "/printer.log");
            if (log.rfind("port ", 0) == 0 && log.find('\n') != std::string::npos)
                mstrPort = log.substr(5, log.find('\n') - 5);
        }
        ASSERT_FALSE(mstrPort.empty());
        // The hook in place of the ipp backend, CUPS's own beside it as the
        // wrapped backend, and the filters a driverless queue runs.
        ASSERT_TRUE(mWorld.Cupsd().InstallBackend("ipp", CVK_HOOK_PROGRAM, 0700));
        fs::copy_file("/usr/lib/cups/backend/ipp", serverBin + "/.cvkbackend/ipp",
                      fs::copy_options::overwrite_existing, error);
        ASSERT_FALSE(error) << error.message();
        fs::permissions(serverBin + "/.cvkbackend/ipp", fs::perms(0700), error);
        std::vector<std::pair<std::string, std::string>> programs{{"filter/pdftopdf", "cups-filters-core-drivers"}};
        if (rasterQueue)
            programs.insert(programs.end(), {{"filter/gstoraster", "cups-filters"},
                                             {"filter/rastertopwg", "cups"},
                                             {"driver/driverless", "cups-filters-core-drivers"}});
        fs::create_directories(serverBin + "/driver", error);
        for (const auto& [program, package] : programs) {
            ASSERT_TRUE(TestSupport::Installed({"/usr/lib/cups/" + program, package}));
            fs::copy_file("/usr/lib/cups/" + program, serverBin + "/" + program, fs::copy_options::overwrite_existing,
                          error);
            ASSERT_FALSE(error) << program << ": " << error.message();
        }
        ASSERT_TRUE(mWorld.Cupsd().Reload()) << mWorld.Cupsd().ErrorLog();
        const std::string uri = "ipp://127.0.0.1:" + mstrPort + "/ipp/print";
        ASSERT_TRUE(mWorld.Cupsd().AddQueue(kQueue, uri, "", {"-m", rasterQueue ? "driverless:" + uri : "everywhere"}))
            << mWorld.Cupsd().ErrorLog();
    }

    void TearDown() override
    {
        if (mPrinter > 0)
            TestSupport::StopProgram(mPrinter);
    }

    EndToEndWorld mWorld;
    // Beside the private cupsd's files, and removed with them.
    std::string mstrPrinterFolder = mWorld.Cupsd().Folder() + "/printer";
    pid_t mPrinter = -1;
    std::string mstrPort;
};

TEST_P(DriverlessQueue, JobIsBilledWhatThePrinterPrints)
{
    const DriverlessCase& test = GetParam();
    mWorld.ScriptRules(Tracking::Silently);
    ASSERT_TRUE(mWorld.StartClient());
    // Filtered as cupsd filters a user's job, unless raw.
    std::vector<std::string> options = test.mvecOptions;
    options.insert(options.end(), {"-t", test.Name});
    const int jobId = mWorld.Cupsd().SubmitJob(kQueue, test.mstrFile, options);
    ASSERT_GT(jobId, 0);
    ASSERT_TRUE(mWorld.WaitForJobState(jobId, IPP_JSTATE_COMPLETED))
        << mWorld.Cupsd().ErrorLog() << "\n" << mWorld.QuorvelLog();

    const std::string received = TestSupport::ReadFileText(mstrPrinterFolder + "/job-1.data");
    EXPECT_EQ(received.rfind(test.mstrFormat, 0), 0u) << received.substr(0, 16);
    if (test.mstrPrinterHeard != nullptr) {
        EXPECT_NE(TestSupport::ReadFileText(mstrPrinterFolder + "/job-1.txt").find(test.mstrPrinterHeard),
                  std::string::npos);
    }
    const auto summary = mWorld.ServerJob(jobId);
    ASSERT_TRUE(summary.has_value()) << mWorld.QuorvelLog();
    ASSERT_EQ(summary->paper.size(), test.mvecPages.size());
    for (size_t i = 0; i < test.mvecPages.size(); ++i) {
        SCOPED_TRACE("page set " + std::to_string(i));
        EXPECT_EQ(summary->paper[i].size, test.mvecPages[i].mstrName);
        EXPECT_EQ(summary->paper[i].width, test.mvecPages[i].mintWidth);
        EXPECT_EQ(summary->paper[i].height, test.mvecPages[i].mintHeight);
        EXPECT_EQ(summary->paper[i].mono, test.mvecPages[i].mintMono);
        EXPECT_EQ(summary->paper[i].colour, test.mvecPages[i].mintColor);
    }
    EXPECT_EQ(summary->duplex, test.mblnDuplex);
    EXPECT_EQ(summary->copies, 1u);
    EXPECT_EQ(mWorld.StopClient(), 0);
}

INSTANTIATE_TEST_SUITE_P(Jobs, DriverlessQueue, testing::ValuesIn(CASES), TestSupport::CaseName());

}  // namespace
