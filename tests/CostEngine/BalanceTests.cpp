#include "Core/CVModels/JobCalculations.h"
#include "Core/CVModels/User.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

namespace {

using TestSupport::operator<<;
using CVClientData::JobCalculations;
using CVClientData::User;

struct Job {
    double MinimumCost = 0;
    double TotalCost = 0;
    int32_t Pages = 0;  // physical, copies included
    int32_t BWPages = 0;
    int32_t ColorPages = 0;
};

struct BalanceCase {
    const char* Name;
    int32_t Type;
    double BW;  // remaining, with the overdraft below added
    double BWOverdraft;
    double Color;
    double ColorOverdraft;
    Job Calcs;
    bool Zero;
    bool Exceeds;
};

const BalanceCase BalanceCases[] = {
    {"NoBalanceNeverStops", 0, -50, 0, -50, 0, {9, 9, 9, 9, 0}, false, false},

    {"CostWithinBalance", 1, 5, 0, 0, 0, {0.1, 5.0, 50, 50, 0}, false, false},
    {"CostAboveBalance", 1, 5, 0, 0, 0, {0.1, 5.01, 50, 50, 0}, false, true},
    {"CostWithinOverdraft", 1, 1, 4, 0, 0, {0.1, 5.0, 50, 50, 0}, false, false},
    {"MinimumCostAboveBalance", 1, 1, 0, 0, 0, {1.5, 0.0, 1, 1, 0}, false, true},
    {"FreeJobOnEmptyBalance", 1, -1, 0, 0, 0, {0, 0, 3, 3, 0}, true, false},
    {"CostUsesTheBlackAndWhiteBalanceOnly", 1, 0, 0, 100, 0, {0.1, 0.1, 1, 0, 1}, true, true},

    {"PagesWithinBalance", 2, 10, 0, 0, 0, {0, 0, 10, 5, 5}, false, false},
    {"PagesAboveBalance", 2, 10, 0, 0, 0, {0, 0, 11, 5, 6}, false, true},
    {"PagesBalanceBelowOneStopsEveryJob", 2, 0.9, 0, 0, 0, {0, 0, 0, 0, 0}, false, true},
    {"PagesBalanceCutToWholePages", 2, 3.9, 0, 0, 0, {0, 0, 4, 4, 0}, false, true},
    {"PagesOverdraftCounts", 2, -2, 5, 0, 0, {0, 0, 3, 3, 0}, false, false},

    {"BlackAndWhitePagesWithin", 3, 5, 0, 0, 0, {0, 0, 100, 5, 95}, false, false},
    {"BlackAndWhitePagesAbove", 3, 5, 0, 0, 0, {0, 0, 6, 6, 0}, false, true},
    {"BlackAndWhiteEmptyWithoutSuchPages", 3, 0, 0, 0, 0, {0, 0, 4, 0, 4}, true, false},

    {"ColourPagesWithin", 4, 0, 0, 5, 0, {0, 0, 105, 100, 5}, false, false},
    {"ColourPagesAbove", 4, 100, 0, 5, 0, {0, 0, 6, 0, 6}, false, true},
    {"ColourOverdraftCounts", 4, 0, 0, 1, 5, {0, 0, 6, 0, 6}, false, false},
    {"ColourEmpty", 4, 100, 0, 0, 0, {0, 0, 0, 0, 0}, true, false},

    {"BothWithin", 5, 5, 0, 5, 0, {0, 0, 10, 5, 5}, false, false},
    {"BothBlackAndWhiteAbove", 5, 5, 0, 5, 0, {0, 0, 11, 6, 5}, false, true},
    {"BothColourAbove", 5, 5, 0, 5, 0, {0, 0, 11, 5, 6}, false, true},
    {"BothEmptyStopsEveryJob", 5, 0.5, 0, 0.5, 0, {0, 0, 0, 0, 0}, false, true},
    {"BothOneEmptyIsZeroButMayPrint", 5, 5, 0, 0, 0, {0, 0, 5, 5, 0}, true, false},

    {"UnknownTypeAlwaysStops", 6, 100, 0, 100, 0, {0, 0, 0, 0, 0}, true, true},
    {"NegativeTypeAlwaysStops", -1, 100, 0, 100, 0, {0, 0, 0, 0, 0}, true, true},
    {"HugeBalanceIsCutSafely", 2, 1e300, 1e300, 0, 0, {0, 0, 2147483647, 0, 0}, false, false},
};

class Balances : public ::testing::TestWithParam<BalanceCase> {};

TEST_P(Balances, ZeroAndExceeds)
{
    const BalanceCase& test = GetParam();
    User user;
    user.Type = test.Type;
    user.BWBalanceRemaining = test.BW;
    user.BWBalanceOverdraft = test.BWOverdraft;
    user.ColorBalanceRemaining = test.Color;
    user.ColorBalanceOverdraft = test.ColorOverdraft;
    JobCalculations calcs;
    calcs.MinimumCost = test.Calcs.MinimumCost;
    calcs.TotalCost = test.Calcs.TotalCost;
    calcs.PhysicalPages = test.Calcs.Pages;
    calcs.PhysicalBWPages = test.Calcs.BWPages;
    calcs.PhysicalColorPages = test.Calcs.ColorPages;
    EXPECT_EQ(user.ZeroBalance(), test.Zero);
    EXPECT_EQ(user.JobExceedsBalance(calcs), test.Exceeds);
}

INSTANTIATE_TEST_SUITE_P(Cases, Balances, ::testing::ValuesIn(BalanceCases), TestSupport::CaseName());

}  // namespace
