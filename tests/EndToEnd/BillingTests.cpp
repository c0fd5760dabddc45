// Jobs of the drivers Linux prints with, billed on their whole road: lp to a
// raw queue of a private cupsd, cvkhook counting the job's pages for the
// headless client, and the stand-in server told the pages by paper, mono and
// colour. What each job prints is its fixture's own truth.
#include "tests/EndToEnd/EndToEndWorld.h"
#include "tests/EndToEnd/ServerJobSummary.h"
#include "tests/Parser/DriverJobTruth.h"
#include "tests/ParserPostscript/FixtureTable.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

#include <cups/ipp.h>

#include <cstdint>
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
};

// A PostScript fixture with its truth from the fixtures' table; no pages when
// the table lacks it.
BillingCase PostscriptCase(std::string name, const std::string& file)
{
    BillingCase row{std::move(name), CVK_POSTSCRIPT_DATA_DIR "/" + file, {}, 0};
    for (const auto& fixture : PostscriptTestSupport::ReadFixtureTable(CVK_POSTSCRIPT_DATA_DIR "/fixtures.tsv")) {
        if (fixture.mstrFile == file) {
            row.Pages = PostscriptTestSupport::ParsePageSets(fixture.mstrPageSets);
            row.Copies = fixture.mintCopies;
        }
    }
    return row;
}

std::vector<BillingCase> Cases()
{
    return {
        // Five A4 pages, colour on pages 2 and 4.
        PostscriptCase("Ps2write", "ps2write_colour_pages.ps"),
        // Five pages of bit images and raster graphics, colour on pages 2 and 4.
        {"Epsonc", CVK_PCL_DATA_DIR "/epsonc.prn", ParserTestSupport::FIVE_COLOUR_EPSON_PAGES},
        {"Stcolor", CVK_PCL_DATA_DIR "/stcolor.prn", ParserTestSupport::FIVE_COLOUR_EPSON_PAGES},
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
         ParserTestSupport::FIVE_MONO},
        // HP-GL/2 plots inside PCL 5.
        {"PlotutilsPcl", CVK_PJL_DATA_DIR "/plotutils-three-plots.pcl", ParserTestSupport::PLOTUTILS_THREE_PLOTS_PAGES},
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
    ASSERT_TRUE(mWorld.AddQueue(kQueue, QueueKind::Tracked, DataPath::SpoolFile));
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
    EXPECT_NEAR(summary->cost, job.Copies * cost, 1e-9);
    EXPECT_EQ(mWorld.StopClient(), 0);
}

INSTANTIATE_TEST_SUITE_P(DriverJobs, BillingTest, ::testing::ValuesIn(Cases()), TestSupport::CaseName());
