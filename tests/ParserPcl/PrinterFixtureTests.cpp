// Jobs made by Ghostscript from three-pages.ps (an A4 page of black text, an
// A4 page of red and blue shapes, a Letter page with a grey image), from
// three-small.ps (black text on A4, a red square on A4, black text on Letter)
// and five-pages.ps (colour on pages 2 and 4), Gutenprint's ESC/P 2 of
// three-small.ps, and hand-made ESC/P 2 and ESC/Page jobs, each with what the
// hook must report for it, parsed in every chunking the harness tries. See
// data/make-fixtures.sh.

#include "PrinterLanguageParser/Parser/ParserRegistry.h"
#include "tests/Parser/ChunkInvariance.h"
#include "tests/Parser/DriverJobTruth.h"
#include "tests/Parser/ParseOutcome.h"
#include "tests/ParserPcl/ParserFeed.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace RawPrintData;
using namespace ParserTestSupport;

namespace {

// How a fixture is fed.
enum class Feed {
    Whole,              // the file as it is
    PjlWrapped,         // the file as it is, read through its PJL wrapper
    WithoutPjlWrapper,  // only the part after the PJL ENTER LANGUAGE line
};

struct FixtureCase {
    const char* mstrLabel;
    const char* mstrFile;
    Feed mFeed;
    std::vector<ExpectedSet> mvecPageSets;
    unsigned long mintCopies;
    bool mblnDuplex;
    RawColorType mintColorType;
};

// The Ghostscript jobs keep the paper of each page; PCL XL pages carry no
// paper name, so they count in the default set, sized by the largest width
// and height reported (A4's height, Letter's width).
const std::vector<ExpectedSet> PCL5_PAGES = {{"A4", 2100, 2970, 2, 0}, {"Letter", 2159, 2794, 1, 0}};
const std::vector<ExpectedSet> PXL_MONO_PAGES = {{"", 2159, 2970, 3, 0}};
const std::vector<ExpectedSet> PXL_COLOR_PAGES = {{"", 2159, 2970, 1, 2}};
// 9-pin ESC/P carries no paper, Gutenprint's ESC/P 2 the queue's A4 for all
// three pages; colour comes from the colour of the data.
const std::vector<ExpectedSet> FIVE_MONO_EPSON_PAGES = {{"", 0, 0, 5, 0}};
const std::vector<ExpectedSet> SMALL_EPSON_PAGES = {{"A4", 2100, 2970, 2, 1}};

const FixtureCase FIXTURES[] = {
    {"ljet4", "ljet4.pcl", Feed::Whole, PCL5_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"ljet4_two_copies", "ljet4-copies2.pcl", Feed::Whole, PCL5_PAGES, 2, false, COLOR_TYPE_UNKNOWN},
    {"ljet4d_duplex", "ljet4d-duplex.pcl", Feed::Whole, PCL5_PAGES, 1, true, COLOR_TYPE_UNKNOWN},
    {"ljet4d_duplex_three_copies", "ljet4d-duplex-copies3.pcl", Feed::Whole, PCL5_PAGES, 3, true, COLOR_TYPE_UNKNOWN},
    {"ljet4pjl_unwrapped", "ljet4pjl.pcl", Feed::WithoutPjlWrapper, PCL5_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"ljet4pjl_two_copies_unwrapped", "ljet4pjl-copies2.pcl", Feed::WithoutPjlWrapper, PCL5_PAGES, 2, false,
     COLOR_TYPE_UNKNOWN},
    {"ljet4pjl", "ljet4pjl.pcl", Feed::PjlWrapped, PCL5_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"ljet4pjl_two_copies", "ljet4pjl-copies2.pcl", Feed::PjlWrapped, PCL5_PAGES, 2, false, COLOR_TYPE_UNKNOWN},

    // PCL XL reports no copies; the grey image on the mono device's page is
    // drawn in the grey colour space and leaves the page mono, while the
    // colour device draws it through an RGB palette.
    {"pxlmono_unwrapped", "pxlmono.pxl", Feed::WithoutPjlWrapper, PXL_MONO_PAGES, 1, false, COLOR_TYPE_MONO},
    {"pxlmono_duplex_unwrapped", "pxlmono-duplex.pxl", Feed::WithoutPjlWrapper, PXL_MONO_PAGES, 1, true, COLOR_TYPE_MONO},
    {"pxlmono_two_copies_unwrapped", "pxlmono-copies2.pxl", Feed::WithoutPjlWrapper, PXL_MONO_PAGES, 1, false,
     COLOR_TYPE_MONO},
    {"pxlcolor_unwrapped", "pxlcolor.pxl", Feed::WithoutPjlWrapper, PXL_COLOR_PAGES, 1, false, COLOR_TYPE_COLOR},
    {"pxlcolor_duplex_two_copies_unwrapped", "pxlcolor-duplex-copies2.pxl", Feed::WithoutPjlWrapper, PXL_COLOR_PAGES, 1,
     true, COLOR_TYPE_COLOR},
    // PJL's RENDERMODE=GRAYSCALE asks for grayscale, which ends as mono.
    {"pxlmono", "pxlmono.pxl", Feed::PjlWrapped, PXL_MONO_PAGES, 1, false, COLOR_TYPE_MONO},
    {"pxlmono_duplex", "pxlmono-duplex.pxl", Feed::PjlWrapped, PXL_MONO_PAGES, 1, true, COLOR_TYPE_MONO},
    {"pxlmono_two_copies", "pxlmono-copies2.pxl", Feed::PjlWrapped, PXL_MONO_PAGES, 1, false, COLOR_TYPE_MONO},
    {"pxlcolor", "pxlcolor.pxl", Feed::PjlWrapped, PXL_COLOR_PAGES, 1, false, COLOR_TYPE_COLOR},
    {"pxlcolor_duplex_two_copies", "pxlcolor-duplex-copies2.pxl", Feed::PjlWrapped, PXL_COLOR_PAGES, 1, true,
     COLOR_TYPE_COLOR},

    // ESC/P reports pages only: a colour page, then two mono ones.
    {"escp2_bonjour", "escp2-three-pages.prn", Feed::Whole, {{"", 0, 0, 2, 1}}, 1, false, COLOR_TYPE_UNKNOWN},
    {"escpage", "escpage-two-pages.prn", Feed::Whole, {{"", 0, 0, 2, 0}}, 1, false, COLOR_TYPE_UNKNOWN},

    // DeskJets: the colour ones eject every page with a reset and ESC & l 0 H
    // and no form feed; the older ones repeat the pages for copies.
    {"cdj550", "cdj550.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_COLOR},
    {"cdj500", "cdj500.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_COLOR},
    {"cdjcolor", "cdjcolor.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_COLOR},
    {"deskjet", "deskjet.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"deskjet_two_copies",
     "deskjet-copies2.pcl",
     Feed::Whole,
     {{"A4", 2100, 2970, 4, 0}, {"Letter", 2159, 2794, 2, 0}},
     1,
     false,
     COLOR_TYPE_UNKNOWN},
    {"djet500", "djet500.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_UNKNOWN},

    // Epson drivers: bit images and raster graphics whose data holds form
    // feeds and escapes; the jobs start with ESC @ and no signature.
    {"epson", "epson.prn", Feed::Whole, FIVE_MONO_EPSON_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"eps9high", "eps9high.prn", Feed::Whole, FIVE_MONO_EPSON_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"epsonc", "epsonc.prn", Feed::Whole, FIVE_COLOUR_EPSON_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"stcolor", "stcolor.prn", Feed::Whole, FIVE_COLOUR_ESCP2_A4_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"gutenprint_stylus_color_600", "gutenprint-escp2-600.prn", Feed::Whole, SMALL_EPSON_PAGES, 1, false,
     COLOR_TYPE_UNKNOWN},
    {"gutenprint_stylus_c86", "gutenprint-escp2-c86.prn", Feed::Whole, SMALL_EPSON_PAGES, 1, false,
     COLOR_TYPE_UNKNOWN},
};

class PrinterFixture : public testing::TestWithParam<FixtureCase> {};

}  // namespace

// Every fixture gives its expected results in every chunking.
TEST_P(PrinterFixture, GivesItsPagesCopiesDuplexAndColour)
{
    const FixtureCase& fixture = GetParam();
    Bytes job = ReadJobFile(std::string(CVK_TEST_DATA_DIR "/") + fixture.mstrFile);
    ASSERT_FALSE(job.empty()) << fixture.mstrFile;
    if (fixture.mFeed == Feed::WithoutPjlWrapper)
        job = WithoutPjlWrapper(job);

    const ParseOutcome outcome = ExpectChunkInvariant(job);
    EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_HANDLED);
    ExpectPageSets(outcome, fixture.mvecPageSets);
    EXPECT_EQ(outcome.mintCopies, fixture.mintCopies);
    EXPECT_EQ(outcome.mblnDuplex, fixture.mblnDuplex);
    EXPECT_EQ(outcome.mintColorType, fixture.mintColorType);
}

INSTANTIATE_TEST_SUITE_P(Jobs, PrinterFixture, testing::ValuesIn(FIXTURES),
                         [](const testing::TestParamInfo<FixtureCase>& info) { return info.param.mstrLabel; });
