// Pages with one small known mark (data/colour-marks/marks.ps) printed
// through a device of each colour raster family, each billed as the colour
// oracle rendered it, or a raster job as its decoded data measures
// (data/colour-marks/truth.txt, from make-table.sh), in every chunking.
// sweep.sh judges the whole families.
#include "tests/Parser/ChunkInvariance.h"
#include "tests/Parser/ParseOutcome.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using namespace ParserTestSupport;

namespace {

struct MarkedPage {
    std::string Name;
    std::string mstrFile;
    double mdblMm2 = 0;
    bool mblnColour = false;
};

// The oracle's table: file, resolution, page, non-neutral mm2, verdict.
std::vector<MarkedPage> ReadTruth()
{
    std::vector<MarkedPage> pages;
    std::ifstream in(CVK_TEST_DATA_DIR "/colour-marks/truth.txt");
    std::string file, verdict;
    int dpi = 0, page = 0;
    double mm2 = 0;
    while (in >> file >> dpi >> page >> mm2 >> verdict) {
        std::string name = file.substr(0, file.find('.'));
        for (char& ch : name)
            ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        pages.push_back({name, file, mm2, verdict == "colour"});
    }
    return pages;
}

class ColourMarks : public ::testing::TestWithParam<MarkedPage> {};

TEST_P(ColourMarks, AreBilledAsTheOracleRendersThem)
{
    const MarkedPage& page = GetParam();
    const ParseOutcome outcome =
        ExpectChunkInvariant(ReadJobFile(CVK_TEST_DATA_DIR "/colour-marks/jobs/" + page.mstrFile));
    EXPECT_EQ(outcome.mintMonoPages + outcome.mintColorPages, 1) << outcome.Describe();
    EXPECT_EQ(outcome.mintColorPages, page.mblnColour ? 1 : 0) << page.mdblMm2 << " mm2: " << outcome.Describe();
}

INSTANTIATE_TEST_SUITE_P(Table, ColourMarks, ::testing::ValuesIn(ReadTruth()),
                         [](const auto& info) { return info.param.Name; });

TEST(ColourMarksTable, IsThere)
{
    EXPECT_GE(ReadTruth().size(), 10u);
}

}  // namespace
