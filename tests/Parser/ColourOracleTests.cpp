// The colour oracle that every colour truth of the corpora comes from: a
// document rendered by Ghostscript, its non-neutral area in square
// millimetres, judged by the parser's colour rule.
#include "tests/Support/ColourOracle.h"
#include "tests/Support/NamedCases.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using TestSupport::operator<<;

struct OracleCase {
    const char* Name;
    const char* Page;  // PostScript of one A4 page, in millimetres from the lower left
    int Dpi;
    double Mm2;        // the non-neutral area drawn
    bool Colour;
    TestSupport::OracleColour Conversion = TestSupport::OracleColour::Document;
};

// A square of the given side in millimetres at (20 mm, 20 mm) in the current colour.
#define SQUARE(side) "20 20 " #side " " #side " rectfill "
#define TEXT "0 setgray /Helvetica findfont 12 scalefont setfont 20 200 moveto (Black text beside the mark) show "

const OracleCase CASES[] = {
    {"RedSquare2_5mm300dpi", "1 0 0 setrgbcolor " SQUARE(2.5) TEXT, 300, 6.25, true},
    {"RedSquare2_5mm600dpi", "1 0 0 setrgbcolor " SQUARE(2.5) TEXT, 600, 6.25, true},
    {"BlueSquare5mm150dpi", "0 0 1 setrgbcolor " SQUARE(5) , 150, 25, true},
    {"RedSquareUnderAMillimetre", "1 0 0 setrgbcolor " SQUARE(0.8), 600, 0.64, false},
    {"GreyPage", "0.5 setgray 0 0 210 297 rectfill", 300, 0, false},
    {"GreyInRgbWithinTolerance", "0.50 0.52 0.49 setrgbcolor 0 0 210 297 rectfill", 300, 0, false},
    {"BalancedCmyGrey", "0.4 0.4 0.4 0 setcmykcolor 0 0 210 297 rectfill", 300, 0, false},
    {"UnbalancedCmy", "0.4 0.2 0.4 0 setcmykcolor " SQUARE(3), 300, 9, true},
    // What an RGB device receives: the colour profile turns balanced inks warm.
    {"BalancedCmyAsAnRgbDeviceGetsIt", "0.4 0.4 0.4 0 setcmykcolor " SQUARE(3), 300, 9, true,
     TestSupport::OracleColour::RgbDevice},
    {"GreyInRgbAsAnRgbDeviceGetsIt", "0.5 setgray 0 0 210 297 rectfill 0.3 0.3 0.3 setrgbcolor " SQUARE(3), 300, 0,
     false, TestSupport::OracleColour::RgbDevice},
};

class ColourOracle : public ::testing::TestWithParam<OracleCase> {};

std::string WriteDocument(const OracleCase& test)
{
    char path[] = "/tmp/cvk-oracle-XXXXXX";
    const int fd = mkstemp(path);
    close(fd);
    std::ofstream(path) << "%!PS\n<< /PageSize [595.28 841.89] >> setpagedevice\n"
                        << "72 25.4 div dup scale\n" << test.Page << "\nshowpage\n";
    return path;
}

TEST_P(ColourOracle, MeasuresTheNonNeutralAreaOfEachPage)
{
    const OracleCase& test = GetParam();
    const std::string document = WriteDocument(test);
    const auto pages = TestSupport::MeasureDocumentColour(document, test.Dpi, test.Conversion);
    std::remove(document.c_str());
    ASSERT_TRUE(pages.has_value());
    ASSERT_EQ(pages->size(), 1u);
    // A square's edge may gain or lose a row of dots on each side.
    const double side = std::sqrt(test.Mm2), dot = 25.4 / test.Dpi;
    EXPECT_NEAR(pages->front().nonNeutralMm2, test.Mm2, 4 * side * dot + 2 * dot * dot);
    EXPECT_EQ(pages->front().colour, test.Colour);
}

INSTANTIATE_TEST_SUITE_P(Cases, ColourOracle, ::testing::ValuesIn(CASES), TestSupport::CaseName());

TEST(ColourOracleDocument, NumbersTheColourPagesAndRefusesWhatDoesNotRender)
{
    char path[] = "/tmp/cvk-oracle-XXXXXX";
    close(mkstemp(path));
    std::ofstream(path) << "%!PS\n/p { 72 25.4 div dup scale } def\n"
                        << "gsave p 0 setgray 10 10 50 50 rectfill grestore showpage\n"
                        << "gsave p 0 1 0 setrgbcolor 10 10 2 2 rectfill grestore showpage\n"
                        << "showpage\n";
    EXPECT_EQ(TestSupport::ColourPages(path, 100), std::vector<size_t>{2});
    std::ofstream(path) << "%!PS\n this is not a program\n";
    EXPECT_FALSE(TestSupport::ColourPages(path, 100).has_value());
    std::remove(path);
}

}  // namespace
