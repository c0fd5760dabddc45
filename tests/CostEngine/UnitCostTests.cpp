#include "CostingBuilders.h"

#include "Core/CVModels/CostingOptions.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using TestSupport::operator<<;
using CostTest::MakeCosting;
using CostTest::MakeModifier;
using CostTest::Pages;
using namespace CVClientData;

// Square metres of a page from its size in tenths of a millimetre.
double SquareMetres(int32_t width, int32_t height)
{
    return (width / 10000.0) * (height / 10000.0);
}

struct UnitsCase {
    const char* Name;
    int32_t Option;
    int32_t Width;
    int32_t Height;
    double Expected;
    double Tolerance;  // the server's conversion factors are rounded
};

const UnitsCase UnitsCases[] = {
    {"SquareMetresA4", PriceSquareMetres, 2100, 2970, 0.06237, 1e-12},
    {"SquareFeetA4", PriceSquareFeet, 2100, 2970, SquareMetres(2100, 2970) / 0.09290304, 1e-5},
    {"SquareInchesLetter", PriceSquareInches, 2159, 2794, 8.5 * 11.0, 1e-9},
    {"LinearFeetThreeFeetWide", PriceLinearFeet, 9144, 100, 3.0, 1e-12},
    {"LinearFeetIgnoresHeight", PriceLinearFeet, 3048, 99999, 1.0, 1e-12},
    {"PerPageIsOne", PricePerPage, 2100, 2970, 1.0, 0.0},
    {"ByPaperSizeIsOne", PriceByPaperSize, 2100, 2970, 1.0, 0.0},
    {"UnknownOptionIsOne", 17, 2100, 2970, 1.0, 0.0},
    {"ZeroSizeHasNoArea", PriceSquareMetres, 0, 0, 0.0, 0.0},
};

class UnitsPerPage : public ::testing::TestWithParam<UnitsCase> {};

TEST_P(UnitsPerPage, AreaOrLength)
{
    const UnitsCase& test = GetParam();
    PageSet pageSet = CostTest::MakePageSet({0, 0, test.Width, test.Height});
    EXPECT_NEAR(pageSet.CalculateUnitsPerPage(test.Option), test.Expected, test.Tolerance);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnitsPerPage, ::testing::ValuesIn(UnitsCases), TestSupport::CaseName());

struct TotalUnitsCase {
    const char* Name;
    int32_t Option;
    std::vector<Pages> PageSets;
    bool CountAsPhysical;
    uint64_t NUp;
    uint64_t Copies;
    double BWUnits;
    double ColorUnits;
};

const double A4 = 0.06237;

const TotalUnitsCase TotalUnitsCases[] = {
    {"PerPageCountsPages", PricePerPage, {{3, 2}}, false, 1, 2, 6.0, 4.0},
    {"PerPageCountsSheets", PricePerPage, {{3, 2}}, true, 2, 2, 2.0, 4.0},
    {"ByPaperSizeCountsPages", PriceByPaperSize, {{3, 2}}, false, 1, 1, 3.0, 2.0},
    {"AreaTimesPagesAndCopies", PriceSquareMetres, {{3, 2}}, false, 1, 2, 6 * A4, 4 * A4},
    {"AreaScaledBySheetRatio", PriceSquareMetres, {{3, 2}}, true, 2, 1, 3 * A4 * 0.6, 2 * A4 * 0.6},
    {"AreaOfMixedSizes", PriceSquareMetres, {{1, 0}, {0, 1, 4200, 2970}}, false, 1, 1, A4, 2 * A4},
    {"NoPageSets", PriceSquareMetres, {}, true, 2, 3, 0.0, 0.0},
};

class TotalUnits : public ::testing::TestWithParam<TotalUnitsCase> {};

TEST_P(TotalUnits, BlackAndWhiteAndColour)
{
    const TotalUnitsCase& test = GetParam();
    JobCosting costing = MakeCosting(test.PageSets);
    costing.PriceOption = test.Option;
    costing.CountAsPhysical = test.CountAsPhysical;
    costing.NUpCount = test.NUp;
    costing.Copies = test.Copies;
    double bw = -1.0;
    double color = -1.0;
    const double total = costing.CalculateTotalUnits(nullptr, &bw, &color);
    EXPECT_NEAR(bw, test.BWUnits, 1e-12);
    EXPECT_NEAR(color, test.ColorUnits, 1e-12);
    EXPECT_NEAR(total, test.BWUnits + test.ColorUnits, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Cases, TotalUnits, ::testing::ValuesIn(TotalUnitsCases), TestSupport::CaseName());

struct BaseCostCase {
    const char* Name;
    int32_t Option;
    std::vector<Pages> PageSets;
    double BW;
    double Color;
};

// The costing's base costs are 0.05 and 0.25 in every case.
const BaseCostCase BaseCostCases[] = {
    {"PerPageUsesBaseCosts", PricePerPage, {{2, 2, 2100, 2970, 0.10, 0.40}}, 0.05, 0.25},
    {"ByPaperSizeWeightsByPages", PriceByPaperSize, {{2, 0, 0, 0, 0.10}, {2, 0, 0, 0, 0.30}}, 0.20, 0.0},
    {"ByPaperSizeUnevenPages", PriceByPaperSize, {{1, 3, 0, 0, 0.10, 1.0}, {3, 1, 0, 0, 0.30, 2.0}}, 0.25, 1.25},
    {"ByPaperSizeWithoutPageSetsUsesBase", PriceByPaperSize, {}, 0.05, 0.25},
    {"ByPaperSizeWithoutPagesIsZero", PriceByPaperSize, {{0, 0, 0, 0, 0.10, 0.40}}, 0.0, 0.0},
};

class BaseCosts : public ::testing::TestWithParam<BaseCostCase> {};

TEST_P(BaseCosts, UnitCostsBeforeModifiers)
{
    const BaseCostCase& test = GetParam();
    JobCosting costing = MakeCosting(test.PageSets);
    costing.PriceOption = test.Option;
    costing.BaseBWUnitCost = 0.05;
    costing.BaseColorUnitCost = 0.25;
    double bw = -1.0;
    double color = -1.0;
    costing.CalculateBaseCosts(bw, color);
    EXPECT_NEAR(bw, test.BW, 1e-12);
    EXPECT_NEAR(color, test.Color, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Cases, BaseCosts, ::testing::ValuesIn(BaseCostCases), TestSupport::CaseName());

PricingPaperSize MakeSize(const char* name, int64_t fromWidth, int64_t fromHeight, int64_t toWidth,
                          int64_t toHeight, double bwCost, double colorCost)
{
    PricingPaperSize size;
    size.SizeName = name;
    size.PageUnits = 7;
    size.FromWidth = fromWidth;
    size.FromHeight = fromHeight;
    size.ToWidth = toWidth;
    size.ToHeight = toHeight;
    size.BWCost = bwCost;
    size.ColorCost = colorCost;
    return size;
}

class PageSetPricing : public ::testing::Test {
protected:
    PageSetPricing()
    {
        mCosting = MakeCosting({{1, 0, 2100, 2970}, {1, 0, 2970, 4200}, {1, 0, 1000, 1000}});
        mCosting.PageSets[2].SizeName = "Odd";
        mCosting.PageSets[2].PageUnits = 9;
        mCosting.BaseBWUnitCost = 0.05;
        mCosting.BaseColorUnitCost = 0.25;
        mCosting.PaperSizes = {MakeSize("A4", 2100, 2970, 2100, 2970, 0.10, 0.50),
                               MakeSize("A4 again", 2000, 2900, 2200, 3000, 0.99, 0.99),
                               MakeSize("A3", 2900, 4100, 3000, 4200, 0.20, 1.00)};
    }

    JobCosting mCosting;
};

TEST_F(PageSetPricing, ByPaperSizeTakesTheFirstMatchingEntry)
{
    mCosting.PriceOption = PriceByPaperSize;
    mCosting.UpdatePageSetPricing();
    const std::vector<PageSet>& sets = mCosting.PageSets;
    EXPECT_EQ(sets[0].SizeName, "A4");  // bounds are inclusive, list order wins
    EXPECT_DOUBLE_EQ(sets[0].BaseBWUnitCost, 0.10);
    EXPECT_DOUBLE_EQ(sets[0].BaseColorUnitCost, 0.50);
    EXPECT_EQ(sets[0].PageUnits, 7);
    EXPECT_EQ(sets[1].SizeName, "A3");
    EXPECT_DOUBLE_EQ(sets[1].BaseBWUnitCost, 0.20);
    // No entry matches: base costs, no units, the name kept.
    EXPECT_EQ(sets[2].SizeName, "Odd");
    EXPECT_DOUBLE_EQ(sets[2].BaseBWUnitCost, 0.05);
    EXPECT_DOUBLE_EQ(sets[2].BaseColorUnitCost, 0.25);
    EXPECT_EQ(sets[2].PageUnits, 0);
}

TEST_F(PageSetPricing, OtherOptionsTakeTheBaseCosts)
{
    mCosting.PriceOption = PriceSquareMetres;
    mCosting.UpdatePageSetPricing();
    for (const PageSet& pageSet : mCosting.PageSets) {
        EXPECT_DOUBLE_EQ(pageSet.BaseBWUnitCost, 0.05);
        EXPECT_DOUBLE_EQ(pageSet.BaseColorUnitCost, 0.25);
        EXPECT_EQ(pageSet.PageUnits, 0);
    }
    EXPECT_EQ(mCosting.PageSets[0].SizeName, "");
}

TEST_F(PageSetPricing, MatchingSizeBoundsAreInclusive)
{
    EXPECT_EQ(mCosting.GetMatchingSize(2000, 2900)->SizeName, "A4 again");
    EXPECT_EQ(mCosting.GetMatchingSize(3000, 4200)->SizeName, "A3");
    EXPECT_FALSE(mCosting.GetMatchingSize(3001, 4200).has_value());
    EXPECT_FALSE(mCosting.GetMatchingSize(2100, 2899).has_value());
}

struct PercentCase {
    const char* Name;
    int32_t Option;
    std::vector<CostModifier> Modifiers;
    int32_t BW;
    int32_t Color;
    int32_t All;
};

const double NaN = std::numeric_limits<double>::quiet_NaN();

const PercentCase PercentCases[] = {
    {"AdditiveCombinesChanges", PercentagesAdditive, {MakeModifier(1, 90, 110), MakeModifier(1, 80, 120)}, 70, 130, 100},
    {"AdditiveZeroStaysZero", PercentagesAdditive, {MakeModifier(3, 0), MakeModifier(3, 150)}, 100, 100, 0},
    {"AdditiveReachingZeroStaysZero", PercentagesAdditive, {MakeModifier(3, 50), MakeModifier(3, 50), MakeModifier(3, 150)}, 100, 100, 0},
    {"HighestTakesTheLargest", PercentagesHighest, {MakeModifier(1, 90, 90), MakeModifier(1, 110, 95)}, 110, 100, 100},
    {"LowestStartsFromHundred", PercentagesLowest, {MakeModifier(3, 120), MakeModifier(3, 130)}, 100, 100, 100},
    {"LowestTakesTheSmallest", PercentagesLowest, {MakeModifier(3, 80), MakeModifier(3, 60)}, 100, 100, 60},
    {"FractionsAreCutOff", PercentagesLowest, {MakeModifier(1, 89.9, 99.99)}, 89, 99, 100},
    {"AppliedInTurnLeavesHundreds", PercentagesAppliedInTurn, {MakeModifier(1, 50, 50), MakeModifier(3, 10)}, 100, 100, 100},
    {"FixedModifiersDoNotCount", PercentagesLowest, {MakeModifier(0, 10, 10), MakeModifier(2, 10), MakeModifier(8, 10)}, 100, 100, 100},
    {"UnknownOptionChangesNothing", 9, {MakeModifier(1, 50, 50)}, 100, 100, 100},
    {"NotANumberCountsAsZero", PercentagesAdditive, {MakeModifier(1, NaN, 120)}, 0, 120, 100},
    {"HugeAdditiveIsClamped", PercentagesAdditive, {MakeModifier(3, 3e9), MakeModifier(3, 3e9)}, 100, 100, std::numeric_limits<int32_t>::max()},
};

class Percentages : public ::testing::TestWithParam<PercentCase> {};

TEST_P(Percentages, CombinedByOption)
{
    const PercentCase& test = GetParam();
    JobCosting costing;
    costing.PercentageModifierOption = test.Option;
    int32_t bw = 0;
    int32_t color = 0;
    int32_t all = 0;
    costing.CalculateOtherPercentageModifiers(test.Modifiers, bw, color, all);
    EXPECT_EQ(bw, test.BW);
    EXPECT_EQ(color, test.Color);
    EXPECT_EQ(all, test.All);
}

INSTANTIATE_TEST_SUITE_P(Cases, Percentages, ::testing::ValuesIn(PercentCases), TestSupport::CaseName());

struct ModifierCase {
    const char* Name;
    CostModifier Modifier;
    double FixedBW, FixedColor, FixedAdded;  // after AddCostModifiers on 1, 2, 4
    double PercentBW, PercentColor, PercentAdded;  // after AddPercentageModifiers on 1, 2, 4
};

const ModifierCase ModifierCases[] = {
    {"FixedUnitCosts", MakeModifier(0, 0.5, 0.25), 1.5, 2.25, 4, 1, 2, 4},
    {"PercentUnitCosts", MakeModifier(1, 50, 150), 1, 2, 4, 0.5, 3, 4},
    {"FixedAddedCost", MakeModifier(2, 1.5, 9), 1, 2, 5.5, 1, 2, 4},
    {"PercentOfEverything", MakeModifier(3, 25, 9), 1, 2, 4, 0.25, 0.5, 1},
    {"UnknownType", MakeModifier(4, 50, 50), 1, 2, 4, 1, 2, 4},
};

class Modifiers : public ::testing::TestWithParam<ModifierCase> {};

TEST_P(Modifiers, FixedAndPercentageParts)
{
    const ModifierCase& test = GetParam();
    double bw = 1;
    double color = 2;
    double added = 4;
    test.Modifier.AddCostModifiers(bw, color, added);
    EXPECT_DOUBLE_EQ(bw, test.FixedBW);
    EXPECT_DOUBLE_EQ(color, test.FixedColor);
    EXPECT_DOUBLE_EQ(added, test.FixedAdded);
    bw = 1;
    color = 2;
    added = 4;
    test.Modifier.AddPercentageModifiers(bw, color, added);
    EXPECT_DOUBLE_EQ(bw, test.PercentBW);
    EXPECT_DOUBLE_EQ(color, test.PercentColor);
    EXPECT_DOUBLE_EQ(added, test.PercentAdded);
}

INSTANTIATE_TEST_SUITE_P(Cases, Modifiers, ::testing::ValuesIn(ModifierCases), TestSupport::CaseName());

}  // namespace
