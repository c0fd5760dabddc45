// Jobs of the drivers Linux prints with, billed on their whole road: lp to a
// raw queue of a private cupsd (or to a PostScript queue, through pstops),
// cvkhook counting the job's pages for the headless client, and the
// stand-in server told the pages by paper, mono and colour. What each job
// prints is its fixture's own truth.
#include "tests/EndToEnd/EndToEndWorld.h"
#include "tests/EndToEnd/ServerJobSummary.h"
#include "tests/Parser/DriverJobTruth.h"
#include "tests/ParserPostscript/FixtureTable.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/NamedCases.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <cups/ipp.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using EndToEnd::DataPath;
using EndToEnd::EndToEndWorld;
using EndToEnd::QueueKind;
using EndToEnd::Tracking;
using ParserTestSupport::ExpectedSet;
using TestSupport::operator<<;

constexpr const char* kQueue = "Raw";
// What a job that names no paper (ps2write's) gives as the paper's name; the
// server is told the queue's default paper (its PPD's) in its place.
constexpr const char* kUnnamedPaper = "Unknown";
constexpr const char* kQueuePaper = "Letter";

// A committed job and what one copy of it prints.
struct BillingCase {
    std::string Name;
    std::string File;
    std::vector<ExpectedSet> Pages;
    uint64_t Copies = 1;
    bool Duplex = false;
    DataPath Path = DataPath::SpoolFile;
};

// A fixture with its truth from the table of its folder; no pages when the
// table lacks it.
BillingCase TableCase(std::string name, const std::string& folder, const std::string& table, const std::string& file)
{
    BillingCase row{std::move(name), folder + "/" + file, {}, 0};
    for (const auto& fixture : PostscriptTestSupport::ReadFixtureTable(folder + "/" + table)) {
        if (fixture.mstrFile == file) {
            row.Pages = PostscriptTestSupport::ParsePageSets(fixture.mstrPageSets);
            row.Copies = fixture.mintCopies;
        }
    }
    return row;
}

// A PostScript fixture with its truth from the fixtures' table.
BillingCase PostscriptCase(std::string name, const std::string& file)
{
    return TableCase(std::move(name), CVK_POSTSCRIPT_DATA_DIR, "fixtures.tsv", file);
}

// A job of the Epson driver corpus with its truth from the corpus table.
BillingCase EpsonCorpusCase(std::string name, const std::string& file)
{
    return TableCase(std::move(name), CVK_PCL_DATA_DIR "/escp-corpus", "corpus.tsv", file);
}

std::vector<BillingCase> Cases()
{
    return {
        // Five A4 pages, colour on pages 2 and 4.
        PostscriptCase("Ps2write", "ps2write_colour_pages.ps"),
        // Five pages of bit images and raster graphics, colour on pages 2 and 4.
        {"Epsonc", CVK_PCL_DATA_DIR "/epsonc.prn", ParserTestSupport::FIVE_COLOUR_EPSON_PAGES},
        {"Stcolor", CVK_PCL_DATA_DIR "/stcolor.prn", ParserTestSupport::FIVE_COLOUR_ESCP2_A4_PAGES},
        // Four pages, colour on pages 2 and 4: an ESC/Page colour laser's on
        // A4 and Gutenprint's ESC/P 2 for an inkjet on Letter.
        EpsonCorpusCase("EscPageLp8300c", "gs-lp8300c.prn"),
        EpsonCorpusCase("GutenprintStylusC86Letter", "gutenprint-escp2-c86-letter.prn"),
        // PCL 3 pages ejected without a form feed.
        {"DeskJetCdj550", CVK_PCL_DATA_DIR "/cdj550.pcl", ParserTestSupport::SMALL_COLOUR_PAGES},
        // The driver corpus: an hpcups DeskJet in grey (PCL 3 GUI entered
        // from PJL) and in colour (mode 10 RGB pixels), a DeskJet 850 (rows
        // after a terminated raster group),
        // CUPS's DeskJet in colour and its LaserJet in duplex (back sides
        // begun by selecting the side).
        {"HpcupsDeskJet5550Grey", CVK_PCL_DATA_DIR "/drivers/hpcups-deskjet5550-grey.pcl", ParserTestSupport::FIVE_MONO},
        {"HpcupsDeskJet6940", CVK_PCL_DATA_DIR "/drivers/hpcups-deskjet6940.pcl", ParserTestSupport::FIVE_COLOUR},
        {"DeskJetCdj850", CVK_PCL_DATA_DIR "/drivers/gs-cdj850-mono.pcl", ParserTestSupport::THREE_MONO},
        {"RastertohpDeskJet", CVK_PCL_DATA_DIR "/drivers/rastertohp-deskjet.pcl", ParserTestSupport::FIVE_COLOUR},
        {"RastertohpLaserJetDuplex", CVK_PCL_DATA_DIR "/drivers/rastertohp-laserjet-duplex.pcl",
         ParserTestSupport::FIVE_MONO, 1, true},
        // HP-GL/2 plots inside PCL 5.
        {"PlotutilsPcl", CVK_PJL_DATA_DIR "/plotutils-three-plots.pcl", ParserTestSupport::PLOTUTILS_THREE_PLOTS_PAGES},
        // What CUPS hands a driverless queue's backend: five A4 pages with
        // colour on 2 and 4; the same two pages a side; a two-sided PWG
        // Raster of A4, A4 with a red square, and Letter.
        {"DriverlessPdf", CVK_DRIVERLESS_DATA_DIR "/gs-five.pdf", {{"A4", 2100, 2970, 3, 2}}, 1, false,
         DataPath::StandardInput},
        {"DriverlessPdfNumberUp2", CVK_DRIVERLESS_DATA_DIR "/pdftopdf-nup2.pdf", {{"A4", 2100, 2970, 1, 2}}},
        {"DriverlessPwgRasterDuplex", CVK_DRIVERLESS_DATA_DIR "/gs-three-srgb16-duplex.pwg",
         {{"A4", 2100, 2970, 1, 1}, {"Letter", 2159, 2794, 1, 0}}, 1, true, DataPath::StandardInput},
        // A PDF whose page tree loops back to its root: its three leaf
        // pages print, the second red.
        {"PdfWithALoopInItsPageTree", CVK_DRIVERLESS_DATA_DIR "/damaged/loop-back-to-the-root.pdf",
         {{"A4", 2100, 2970, 2, 1}}},
    };
}

class BillingTest : public ::testing::TestWithParam<BillingCase> {
protected:
    EndToEndWorld mWorld;
};

}  // namespace

// The server is told each paper's mono and colour pages and the copies the
// job prints, and prices them so.
TEST_P(BillingTest, DriverJobIsBilledThePagesItPrints)
{
    const BillingCase& job = GetParam();
    ASSERT_EQ(mWorld.Problem(), "");
    ASSERT_FALSE(job.Pages.empty()) << "no truth for " << job.File;
    mWorld.ScriptRules(Tracking::Silently);
    ASSERT_TRUE(mWorld.StartClient());
    ASSERT_TRUE(mWorld.AddQueue(kQueue, QueueKind::Tracked, job.Path));
    int jobId = mWorld.Submit(kQueue, job.File, job.Name);
    ASSERT_GT(jobId, 0);
    ASSERT_TRUE(mWorld.WaitForJobState(jobId, IPP_JSTATE_COMPLETED))
        << mWorld.Cupsd().ErrorLog() << "\n" << mWorld.QuorvelLog();

    auto summary = mWorld.ServerJob(jobId);
    ASSERT_TRUE(summary.has_value());
    ASSERT_EQ(summary->paper.size(), job.Pages.size());
    double cost = 0.0;
    for (size_t i = 0; i < job.Pages.size(); ++i) {
        SCOPED_TRACE("page set " + std::to_string(i));
        const EndToEnd::PaperPages& billed = summary->paper[i];
        const ExpectedSet& truth = job.Pages[i];
        EXPECT_EQ(billed.size, truth.mstrName == kUnnamedPaper ? kQueuePaper : truth.mstrName);
        EXPECT_EQ(billed.width, truth.mintWidth);
        EXPECT_EQ(billed.height, truth.mintHeight);
        EXPECT_EQ(billed.mono, truth.mintMono);
        EXPECT_EQ(billed.colour, truth.mintColor);
        cost += truth.mintMono * EndToEndWorld::MonoPageCost + truth.mintColor * EndToEndWorld::ColourPageCost;
    }
    EXPECT_EQ(summary->copies, job.Copies);
    EXPECT_EQ(summary->duplex, job.Duplex);
    EXPECT_NEAR(summary->cost, job.Copies * cost, 1e-9);
    EXPECT_EQ(mWorld.StopClient(), 0);
}

INSTANTIATE_TEST_SUITE_P(DriverJobs, BillingTest, ::testing::ValuesIn(Cases()), TestSupport::CaseName());

namespace {

// A PostScript queue as Debian sets one up: the printer's PPD, and CUPS's
// pstops between lp and the backend (no -o raw), so the backend gets what
// pstops writes for the job's options.
class PostscriptQueueBillingTest : public ::testing::Test {
protected:
    static constexpr const char* kQueueName = "PostScript";

    // Puts pstops among the private scheduler's filters and adds the
    // tracked queue with the PPD. The scheduler started before pstops was
    // there, so the PPD names it for PostScript, which is the road CUPS's
    // own conversion rules take.
    bool AddPostscriptQueue(const std::string& ppd)
    {
        std::error_code error;
        const std::string filter = mWorld.Cupsd().ServerBin() + "/filter/pstops";
        std::filesystem::copy_file("/usr/lib/cups/filter/pstops", filter,
                                   std::filesystem::copy_options::overwrite_existing, error);
        const std::string queuePpd = mWorld.Root().Path() + "/postscript-queue.ppd";
        TestSupport::WriteFileText(queuePpd,
                                   TestSupport::ReadFileText(ppd) + "\n*cupsFilter: \"application/postscript 0 pstops\"\n");
        return !error && mWorld.Cupsd().AddQueue(kQueueName,
                                                 std::string(EndToEndWorld::TrackedScheme) + "://printer.example/" +
                                                     kQueueName,
                                                 queuePpd);
    }

    // The tracked queue with the Kyocera FS-C5100DN's PPD of
    // openprinting-ppds, whose job ends with ESC %-12345X @PJL EOJ.
    bool AddKyoceraQueue()
    {
        const auto ppd = TestSupport::RunProgram(
            {"/usr/lib/cups/driver/openprinting-ppds", "cat",
             "openprinting-ppds:0/ppd/openprinting/Kyocera/en/Kyocera_FS-C5100DN.ppd"});
        if (ppd.status != 0) {
            ADD_FAILURE() << ppd.output;
            return false;
        }
        const std::string path = mWorld.Root().Path() + "/kyocera.ppd";
        TestSupport::WriteFileText(path, ppd.output);
        return AddPostscriptQueue(path);
    }

    // Prints the five-page colour document (colour on pages 2 and 4; by
    // default poppler's PostScript of it) with the lp options and waits for
    // the job.
    std::optional<EndToEnd::ServerJobSummary> Print(const std::vector<std::string>& options,
                                                    const std::string& document = "pdftops_colour_pages.ps")
    {
        mWorld.ScriptRules(Tracking::Silently);
        if (!mWorld.StartClient())
            return std::nullopt;
        std::vector<std::string> arguments = options;
        arguments.insert(arguments.end(), {"-t", "colour pages"});
        const int jobId =
            mWorld.Cupsd().SubmitJob(kQueueName, std::string(CVK_POSTSCRIPT_DATA_DIR "/") + document, arguments);
        if (jobId <= 0 || !mWorld.WaitForJobState(jobId, IPP_JSTATE_COMPLETED)) {
            ADD_FAILURE() << mWorld.Cupsd().ErrorLog() << "\n" << mWorld.QuorvelLog();
            return std::nullopt;
        }
        return mWorld.ServerJob(jobId);
    }

    // What the server was told: one paper's mono and colour pages, copies
    // and duplex.
    static void ExpectBilled(const std::optional<EndToEnd::ServerJobSummary>& summary, const std::string& paper,
                             int mono, int colour, uint64_t copies, bool duplex)
    {
        ASSERT_TRUE(summary.has_value());
        ASSERT_EQ(summary->paper.size(), 1u);
        EXPECT_EQ(summary->paper[0].size, paper);
        EXPECT_EQ(summary->paper[0].mono, mono);
        EXPECT_EQ(summary->paper[0].colour, colour);
        EXPECT_EQ(summary->copies, copies);
        EXPECT_EQ(summary->duplex, duplex);
    }

    EndToEndWorld mWorld;
};

}  // namespace

// Two pages on each sheet side: five pages print on three sides, the first
// two with colour, on the queue's Letter paper.
TEST_F(PostscriptQueueBillingTest, NumberUpIsBilledTheSheetSides)
{
    ASSERT_EQ(mWorld.Problem(), "");
    ASSERT_TRUE(AddPostscriptQueue(CVK_COLOUR_PPD));
    ExpectBilled(Print({"-o", "number-up=2", "-o", "sides=one-sided"}), "Letter", 1, 2, 1, false);
    EXPECT_EQ(mWorld.StopClient(), 0);
}

// A Kyocera PPD's job header holds a Prescribe block inside its PJL: the
// pages after it are billed with the job's copies and duplex.
TEST_F(PostscriptQueueBillingTest, KyoceraJobIsBilledItsPagesCopiesAndDuplex)
{
    ASSERT_EQ(mWorld.Problem(), "");
    ASSERT_TRUE(AddKyoceraQueue());
    ExpectBilled(Print({"-n", "2", "-o", "sides=two-sided-long-edge", "-o", "media=A4"}), "A4", 3, 2, 2, true);
    EXPECT_EQ(mWorld.StopClient(), 0);
}

// Ghostscript's ps2write PostScript, closed by the printer's job end
// (ESC %-12345X @PJL EOJ) as the Kyocera PPD closes every job: its five
// pages, whose paper the queue gives.
TEST_F(PostscriptQueueBillingTest, Ps2writeJobClosedByTheJobEndIsBilledItsPages)
{
    ASSERT_EQ(mWorld.Problem(), "");
    ASSERT_TRUE(AddKyoceraQueue());
    ExpectBilled(Print({"-o", "media=A4"}, "ps2write_colour_pages.ps"), "A4", 3, 2, 1, false);
    EXPECT_EQ(mWorld.StopClient(), 0);
}

// The PPD's grey choice asks the printer for grey: every page prints grey.
TEST_F(PostscriptQueueBillingTest, GreyOptionIsBilledMono)
{
    ASSERT_EQ(mWorld.Problem(), "");
    ASSERT_TRUE(AddKyoceraQueue());
    ExpectBilled(Print({"-o", "media=A4", "-o", "ColorModel=Gray"}), "A4", 5, 0, 1, false);
    EXPECT_EQ(mWorld.StopClient(), 0);
}
