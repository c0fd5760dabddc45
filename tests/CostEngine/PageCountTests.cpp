#include "CostingBuilders.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using TestSupport::operator<<;
using CostTest::MakeCosting;
using CostTest::Pages;

struct PhysicalCase {
    const char* Name;
    std::vector<Pages> PageSets;
    bool CountAsPhysical;
    uint64_t NUp;
    bool Duplex;
    uint64_t Copies;
    double Ratio;
    int32_t BW;  // with copies
    int32_t Color;
};

const PhysicalCase PhysicalCases[] = {
    {"TwoUpDuplexMixed", {{3, 2}}, true, 2, true, 1, 0.4, 1, 1},
    {"FourUpDuplexMostlyColour", {{1, 9}}, true, 4, true, 1, 0.2, 1, 1},
    {"MixedSplitAcrossPageSets", {{2, 1}, {1, 1}}, true, 2, true, 1, 0.4, 1, 1},
    {"LogicalPagesWhenNotPhysical", {{3, 2}}, false, 4, true, 3, 1.0, 9, 6},
    {"OnlyBlackAndWhiteTakesAllSheets", {{5, 0}}, true, 2, false, 1, 0.6, 3, 0},
    {"OnlyColourTakesAllSheets", {{0, 4}}, true, 1, true, 1, 0.5, 0, 2},
    {"OneSheetMixedGoesToColour", {{1, 1}}, true, 2, false, 1, 0.5, 0, 1},
    {"NUpBelowTwoIsNotDividedBy", {{5, 0}}, true, 0, true, 1, 0.6, 3, 0},
    {"NoPagesKeepsRatioOne", {{0, 0}}, true, 2, true, 1, 1.0, 0, 0},
    {"NoPageSets", {}, true, 2, true, 4, 1.0, 0, 0},
    {"CopiesMultiplySheets", {{3, 2}}, true, 2, true, 2, 0.4, 2, 2},
    {"NoCopiesNoPages", {{3, 2}}, false, 1, false, 0, 1.0, 0, 0},
    {"MoreUpThanPages", {{2, 1}}, true, 16, false, 1, 1.0 / 3.0, 0, 1},
    {"BlackAndWhiteFloorFromRatio", {{7, 3}}, true, 3, false, 1, 0.4, 2, 2},
};

class PhysicalPages : public ::testing::TestWithParam<PhysicalCase> {};

TEST_P(PhysicalPages, SheetsAndRatio)
{
    const PhysicalCase& test = GetParam();
    CVClientData::JobCosting costing = MakeCosting(test.PageSets);
    costing.CountAsPhysical = test.CountAsPhysical;
    costing.NUpCount = test.NUp;
    costing.IsDuplex = test.Duplex;
    costing.Copies = test.Copies;

    double ratio = -1.0;
    int32_t bw = -1;
    int32_t color = -1;
    int32_t total = costing.CalculatePhysicalPages(true, &ratio, &bw, &color);
    EXPECT_DOUBLE_EQ(ratio, test.Ratio);
    EXPECT_EQ(bw, test.BW);
    EXPECT_EQ(color, test.Color);
    EXPECT_EQ(total, test.BW + test.Color);

    // Without copies the counts are those of one copy; outputs may be absent.
    int32_t oneCopyBW = -1;
    costing.CalculatePhysicalPages(false, nullptr, &oneCopyBW, nullptr);
    if (test.Copies != 0) {
        EXPECT_EQ(static_cast<uint64_t>(oneCopyBW) * test.Copies, static_cast<uint64_t>(test.BW));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PhysicalPages, ::testing::ValuesIn(PhysicalCases), TestSupport::CaseName());

TEST(LogicalPages, SumsEveryPageSet)
{
    CVClientData::JobCosting costing = MakeCosting({{3, 2}, {4, 0}, {0, 5}});
    costing.CountAsPhysical = true;  // logical counts ignore sheets and copies
    costing.Copies = 7;
    int32_t bw = 0;
    int32_t color = 0;
    EXPECT_EQ(costing.CalculateLogicalPages(bw, color), 14);
    EXPECT_EQ(bw, 7);
    EXPECT_EQ(color, 7);
}

// Page counts from the outside can be as large as the type allows; sums and
// copies are clamped rather than overflowing.
TEST(PageCounts, HugeCountsAreClamped)
{
    constexpr int32_t most = std::numeric_limits<int32_t>::max();
    CVClientData::JobCosting costing = MakeCosting({{most, most}, {most, 0}});
    costing.Copies = std::numeric_limits<uint64_t>::max();
    int32_t bw = 0;
    int32_t color = 0;
    EXPECT_EQ(costing.CalculateLogicalPages(bw, color), most);
    EXPECT_EQ(bw, most);
    EXPECT_EQ(color, most);
    EXPECT_EQ(costing.CalculatePhysicalPages(true, nullptr, &bw, &color), most);
    EXPECT_EQ(bw, most);

    costing.CountAsPhysical = true;
    costing.NUpCount = std::numeric_limits<uint64_t>::max();
    double ratio = 0.0;
    EXPECT_EQ(costing.CalculatePhysicalPages(false, &ratio, &bw, &color), 1);
    EXPECT_GT(ratio, 0.0);
}

}  // namespace
