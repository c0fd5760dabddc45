#include "PrinterLanguageParser/Parser/ParserRegistry.h"
#include "tests/Parser/ChunkInvariance.h"
#include "tests/Parser/DriverJobTruth.h"
#include "tests/Parser/ExpectedPageSets.h"
#include "tests/Parser/ScriptParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace RawPrintData;
using namespace ParserTestSupport;

namespace {

const std::string UEL = "\x1B%-12345X";

// A committed job and what parsing it must give. Jobs that wrap a language
// whose parser is not registered (it comes from another part of the
// library) are still checked for what PJL reports before the hand-over, and
// must then fail at the hand-over; their pages are checked once the
// language is registered.
struct JobCase {
    const char* mstrFile;
    std::vector<RawLanguageType> mvecNeeds;
    unsigned long mintCopies;
    bool mblnDuplex;
    RawColorType mintColorType;
    int mintMonoPages;
    int mintColorPages;
    // Checked only when not empty.
    std::vector<ExpectedSet> mvecPageSets;
};

const std::vector<JobCase> JOB_CASES = {
    // plotutils HP-GL/2 plots.
    {"graph-two-pages.hpgl", {}, 1, false, COLOR_TYPE_UNKNOWN, 2, 0, {{"", 0, 0, 2, 0}}},
    {"graph-rotated.hpgl", {}, 1, false, COLOR_TYPE_UNKNOWN, 1, 0, {{"", 0, 0, 1, 0, ORIENTATION_LANDSCAPE}}},
    // plotutils clear-text CGM; CGM counts no pages.
    {"graph-two-pictures.cgm", {}, 1, false, COLOR_TYPE_UNKNOWN, 0, 0, {}},
    {"oce-a4-duplex.cgm", {}, 3, true, COLOR_TYPE_MONO, 0, 0, {}},
    // The Oce settings, then a rotated plot on the CGM's A4 paper.
    {"cgm-oce-then-hpgl.prn", {}, 3, true, COLOR_TYPE_MONO, 1, 0,
     {{"A4", 2100, 2970, 1, 0, ORIENTATION_LANDSCAPE}}},
    // Hand-made wrappers around the two-page plot.
    {"cpca-hpgl.cpca", {}, 1, false, COLOR_TYPE_UNKNOWN, 2, 0, {{"", 0, 0, 2, 0}}},
    {"prescribe-pjl-hpgl.prn", {}, 2, false, COLOR_TYPE_UNKNOWN, 2, 0, {{"", 0, 0, 2, 0}}},
    {"pjl-hpgl-two-pages.prn", {}, 2, true, COLOR_TYPE_UNKNOWN, 2, 0, {{"A3", 2970, 4200, 2, 0, ORIENTATION_LANDSCAPE}}},
    // PJL, HP-GL/2, PJL through the universal exit, HP-GL/2 again, PJL.
    {"mixed-pjl-hpgl-pjl-hpgl.prn", {}, 3, false, COLOR_TYPE_COLOR, 3, 0, {{"", 7500, 10000, 3, 0}}},
    // Ghostscript's ljet4pjl and pxlmono with PJL settings added; PostScript in PJL.
    {"gs-ljet4pjl-copies2-duplex.prn", {LANGUAGE_PCL5}, 2, true, COLOR_TYPE_UNKNOWN, 2, 0, {}},
    {"gs-pxlmono-qty3-duplex.prn", {LANGUAGE_PCL6}, 3, true, COLOR_TYPE_MONO, 2, 0, {}},
    // COPIES=2, then numcopies(4) and color in %%Requirements: of a COMMENT line.
    {"pjl-postscript-two-pages.prn", {LANGUAGE_POSTSCRIPT}, 4, true, COLOR_TYPE_COLOR, 2, 0, {}},
    // plotutils' three plots in PCL 5.
    {"plotutils-three-plots.pcl", {LANGUAGE_PCL5}, 1, false, COLOR_TYPE_UNKNOWN, 3, 0, PLOTUTILS_THREE_PLOTS_PAGES},
    // Ghostscript's cdj550 in PJL: pages ejected by a reset and ESC & l 0 H,
    // the red square's page in colour.
    {"pjl-cdj550-copies2.prn", {LANGUAGE_PCL5}, 2, false, COLOR_TYPE_COLOR, 2, 1, SMALL_COLOUR_PAGES},
};

// Whether every language the job needs has a parser.
bool AllRegistered(const std::vector<RawLanguageType>& languages)
{
    for (RawLanguageType language : languages) {
        if (!ParserRegistry::BuiltIn().HasParser(language))
            return false;
    }
    return true;
}

}  // namespace

// Every committed job, fed in many chunkings, gives its expected results.
TEST(ParserJobs, FixtureTable)
{
    for (const JobCase& row : JOB_CASES) {
        SCOPED_TRACE(row.mstrFile);
        const Bytes job = ReadJobFile(std::string(CVK_TEST_DATA_DIR "/") + row.mstrFile);
        ASSERT_FALSE(job.empty());
        const ParseOutcome outcome = ExpectChunkInvariant(job);
        const bool registered = AllRegistered(row.mvecNeeds);
        // PJL's own settings hold either way.
        EXPECT_EQ(outcome.mblnDuplex, row.mblnDuplex) << outcome.Describe();
        if (!registered) {
            EXPECT_GE(outcome.mintCopies, row.mintCopies) << outcome.Describe();
            EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_FAILURE) << outcome.Describe();
            continue;
        }
        EXPECT_EQ(outcome.mintCopies, row.mintCopies) << outcome.Describe();
        EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_HANDLED) << outcome.Describe();
        EXPECT_EQ(outcome.mintColorType, row.mintColorType) << outcome.Describe();
        EXPECT_EQ(outcome.mintMonoPages, row.mintMonoPages) << outcome.Describe();
        EXPECT_EQ(outcome.mintColorPages, row.mintColorPages) << outcome.Describe();
        if (!row.mvecPageSets.empty())
            ExpectPageSets(outcome, row.mvecPageSets);
    }
}

// HP-GL/2 entered from PCL 5 draws on PCL 5's page: PG and RP there do
// nothing, and the page is printed by PCL 5's form feed, eject or reset, or
// by the end of the job, when something was drawn on it by either language.
TEST(ParserJobs, HpglInsidePcl5DrawsOnPcl5Pages)
{
    struct Case {
        const char* mstrLabel;
        std::string mstrJob;
        int mintPages;
        unsigned long mintCopies;
    };
    const Case cases[] = {
        {"plot then form feed", "\x1B%0BIN;PD100,100;PG;RP2;\x1B%0A\f", 1, 1},
        {"plot printed at the end of the job", "\x1B%0BIN;PD100,100;PG;\x1B%0A", 1, 1},
        {"job ends inside the plot", "\x1B%1BIN;PA0,0;PD100,100;", 1, 1},
        {"plot ejected by a reset, then a form feed", "\x1B%0BIN;LBtext\x03\x1B%0A\x1B" "E\f", 1, 1},
        {"plot on a page with text", "\x1B" "Etext\x1B%0BIN;PD1,1;PG;\x1B%0A\fmore\f", 2, 1},
        {"nothing drawn", "\x1B%0BIN;SP1;PA10,10;PG;\x1B%0A\x1B" "E", 0, 1},
        {"universal exit prints the plot", "\x1B%0BIN;PD1,1;\x1B%-12345X@PJL EOJ\r\n", 1, 1},
        // On its own, HP-GL/2 still pages by PG and copies by RP.
        {"plot on its own", "IN;PD1,1;PG;RP2;PG;", 2, 3},
        // A plot entered from PJL that draws RTL raster (ESC % 0 A ...
        // ESC % 0 B) stays its own plot: its PG still end pages.
        {"RTL raster inside a plot of its own",
         UEL + "@PJL ENTER LANGUAGE=HPGL2\r\nIN;PS11068,7989;\x1B%0A\x1B*r1A\x1B*b2W\f\f\x1B*rC\x1B%0BPG;"
               "\x1B%0A\x1B*r1A\x1B*b1W\f\x1B*rC\x1B%0BPG;\x1B%0A\x1B*r1A\x1B*rC\x1B%0BPG;" + UEL,
         3, 1},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.mstrLabel);
        const ParseOutcome outcome = ExpectChunkInvariant(ToBytes(row.mstrJob));
        EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_HANDLED) << outcome.Describe();
        EXPECT_EQ(outcome.mintMonoPages + outcome.mintColorPages, row.mintPages) << outcome.Describe();
        EXPECT_EQ(outcome.mintCopies, row.mintCopies) << outcome.Describe();
    }
    // The PCL 5 paper goes with the page the plot draws on.
    const ParseOutcome a4 = ExpectChunkInvariant(ToBytes("\x1B" "E\x1B&l26A\x1B%0BIN;PD1,1;PG;\x1B%0A\f"));
    ExpectPageSets(a4, {{"A4", 2100, 2970, 1, 0}});
}

// A PJL job that enters PCL 5, PostScript and HP-GL/2 in turn (stand-in
// parsers for the first two), with each language returning to PJL, counts
// every page and keeps PJL's settings.
TEST(ParserJobs, PjlSwitchesLanguageSeveralTimes)
{
    const std::string job = UEL + "@PJL SET COPIES=2\r\n@PJL ENTER LANGUAGE=PCL\r\n"
                            "P A4 2100 2970\nP A4 2100 2970\nL 4\n"
                            "@PJL SET DUPLEX=ON\r\n@PJL ENTER LANGUAGE=POSTSCRIPT\r\n"
                            "P Letter 2159 2794 c\nL 4\n" +
                            UEL + "@PJL ENTER LANGUAGE=HPGL2\r\nIN;PG;" + UEL + "@PJL SET QTY=3\r\n@PJL EOJ\r\n" + UEL +
                            "\r\n";
    const ParseOutcome outcome =
        ExpectChunkInvariant(ToBytes(job), ScriptRegistry({LANGUAGE_PCL5, LANGUAGE_POSTSCRIPT}));
    EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_HANDLED) << outcome.Describe();
    EXPECT_EQ(outcome.mintCopies, 3u);
    EXPECT_TRUE(outcome.mblnDuplex);
    EXPECT_EQ(outcome.mintMonoPages, 3);
    EXPECT_EQ(outcome.mintColorPages, 1);
    ASSERT_EQ(outcome.mvecPageSets.size(), 3u) << outcome.Describe();
    EXPECT_EQ(outcome.mvecPageSets[0].GetName(), "A4");
    EXPECT_EQ(outcome.mvecPageSets[1].GetName(), "Letter");
    EXPECT_EQ(outcome.mvecPageSets[2].mintMonoPages, 1);  // the plot, in the default set
}

// A job that is not PJL after its universal exit fails, wherever it is cut.
TEST(ParserJobs, GarbageAfterUniversalExitFails)
{
    const std::string job = UEL + "@PJL SET COPIES=2\r\nthis is no PJL\r\n@PJL ENTER LANGUAGE=HPGL\r\nIN;PG;";
    const ParseOutcome outcome = ExpectChunkInvariant(ToBytes(job));
    EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_FAILURE);
    EXPECT_EQ(outcome.mintCopies, 2u);
    EXPECT_EQ(outcome.mintMonoPages, 0);
}
