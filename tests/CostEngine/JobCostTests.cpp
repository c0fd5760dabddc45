#include "CostingBuilders.h"

#include "Core/CVModels/CostingOptions.h"
#include "Core/CVModels/Job.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using TestSupport::operator<<;
using CostTest::MakeCosting;
using CostTest::MakeModifier;
using namespace CVClientData;

struct CostCase {
    const char* Name;
    int32_t Option;  // CVPercentageModifierOption
    std::vector<CostModifier> Modifiers;
    bool OverrideUnitCosts;
    bool OverrideAddedCost;
    // Expected, before and after overrides.
    double BWUnitCost, ColorUnitCost, AddedCost;
    double FinalBW, FinalColor, FinalAdded;
    double TotalCost, MinimumCost;
};

// Every case prices 3 black-and-white and 2 colour pages, 2 copies (6 and 4
// units), at base costs 0.10 and 0.50. Overrides, where set, are 0.02 and 0.03
// for the unit costs and 0.25 for the added cost.
const CostCase CostCases[] = {
    {"BaseCostsOnly", PercentagesAppliedInTurn, {}, false, false, 0.1, 0.5, 0, 0.1, 0.5, 0, 2.6, 0.1},
    {"AddedCostOnceWhateverTheCopies", PercentagesAppliedInTurn, {MakeModifier(2, 1.5)}, false, false,
     0.1, 0.5, 1.5, 0.1, 0.5, 1.5, 4.1, 1.6},
    {"FixedUnitCostAmounts", PercentagesAppliedInTurn, {MakeModifier(0, 0.05, 0.1)}, false, false,
     0.15, 0.6, 0, 0.15, 0.6, 0, 3.3, 0.15},
    {"PercentagesInTurn", PercentagesAppliedInTurn, {MakeModifier(1, 50, 200)}, false, false,
     0.05, 1.0, 0, 0.05, 1.0, 0, 4.3, 0.05},
    {"PercentOfEverythingScalesAddedCost", PercentagesAppliedInTurn, {MakeModifier(2, 2.0), MakeModifier(3, 50)},
     false, false, 0.05, 0.25, 1.0, 0.05, 0.25, 1.0, 2.3, 1.05},
    {"AmountsBeforePercentagesWhateverTheOrder", PercentagesAppliedInTurn,
     {MakeModifier(1, 50, 50), MakeModifier(0, 0.1, 0.1)}, false, false, 0.1, 0.3, 0, 0.1, 0.3, 0, 1.8, 0.1},
    {"AdditivePercentages", PercentagesAdditive, {MakeModifier(1, 90, 100), MakeModifier(1, 80, 100)}, false, false,
     0.07, 0.5, 0, 0.07, 0.5, 0, 2.42, 0.07},
    {"LowestPercentOfEverything", PercentagesLowest, {MakeModifier(3, 80), MakeModifier(2, 1.0)}, false, false,
     0.08, 0.4, 0.8, 0.08, 0.4, 0.8, 2.88, 0.88},
    {"HighestStartsAtHundred", PercentagesHighest, {MakeModifier(3, 90)}, false, false,
     0.1, 0.5, 0, 0.1, 0.5, 0, 2.6, 0.1},
    {"UnitCostOverrideLeavesTotal", PercentagesAppliedInTurn, {}, true, false,
     0.1, 0.5, 0, 0.02, 0.03, 0, 2.6, 0.02},
    {"AddedCostOverrideLeavesTotal", PercentagesAppliedInTurn, {MakeModifier(2, 1.5)}, false, true,
     0.1, 0.5, 1.5, 0.1, 0.5, 0.25, 4.1, 0.35},
};

JobCosting CostCaseCosting(const CostCase& test)
{
    JobCosting costing = MakeCosting({{3, 2}});
    costing.Copies = 2;
    costing.BaseBWUnitCost = 0.10;
    costing.BaseColorUnitCost = 0.50;
    costing.PercentageModifierOption = test.Option;
    costing.OverriddenBWUnitCost = 0.02;
    costing.OverriddenColorUnitCost = 0.03;
    costing.OverriddenAddedCosts = 0.25;
    costing.OverrodeCostPerUnit = test.OverrideUnitCosts;
    costing.OverrodeAddedCosts = test.OverrideAddedCost;
    return costing;
}

class JobCosts : public ::testing::TestWithParam<CostCase> {};

TEST_P(JobCosts, Calculations)
{
    const CostCase& test = GetParam();
    JobCalculations calcs;
    CostCaseCosting(test).CalculateCosts(test.Modifiers, calcs);
    EXPECT_NEAR(calcs.BWUnitCost, test.BWUnitCost, 1e-12);
    EXPECT_NEAR(calcs.ColorUnitCost, test.ColorUnitCost, 1e-12);
    EXPECT_NEAR(calcs.AddedCost, test.AddedCost, 1e-12);
    EXPECT_NEAR(calcs.FinalBWUnitCost, test.FinalBW, 1e-12);
    EXPECT_NEAR(calcs.FinalColorUnitCost, test.FinalColor, 1e-12);
    EXPECT_NEAR(calcs.FinalAddedCost, test.FinalAdded, 1e-12);
    EXPECT_NEAR(calcs.TotalCost, test.TotalCost, 1e-12);
    EXPECT_NEAR(calcs.MinimumCost, test.MinimumCost, 1e-12);
    // The counts do not depend on prices.
    EXPECT_EQ(calcs.LogicalPages, 5);
    EXPECT_EQ(calcs.PhysicalBWPages, 6);
    EXPECT_EQ(calcs.PhysicalColorPages, 4);
    EXPECT_EQ(calcs.PhysicalPages, 10);
    EXPECT_DOUBLE_EQ(calcs.TotalUnits, 10.0);
}

// With overrides applied the total is priced at the overridden costs.
TEST_P(JobCosts, TotalWithOverridesApplied)
{
    const CostCase& test = GetParam();
    double bw = 0;
    double color = 0;
    double added = 0;
    double total = CostCaseCosting(test).CalculateJobCosts(test.Modifiers, &bw, &color, &added, true);
    EXPECT_NEAR(bw, test.FinalBW, 1e-12);
    EXPECT_NEAR(color, test.FinalColor, 1e-12);
    EXPECT_NEAR(added, test.FinalAdded, 1e-12);
    EXPECT_NEAR(total, 6 * test.FinalBW + 4 * test.FinalColor + test.FinalAdded, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Cases, JobCosts, ::testing::ValuesIn(CostCases), TestSupport::CaseName());

TEST(JobCosting, ClearOverridesForgetsAllFive)
{
    JobCosting costing = MakeCosting({{1, 0}});
    costing.OverrodeCostPerUnit = true;
    costing.OverriddenBWUnitCost = 1;
    costing.OverriddenColorUnitCost = 2;
    costing.OverrodeAddedCosts = true;
    costing.OverriddenAddedCosts = 3;
    costing.ClearOverrides();
    nlohmann::json cleared;
    costing.ToJson(cleared);
    nlohmann::json fresh;
    MakeCosting({{1, 0}}).ToJson(fresh);
    EXPECT_EQ(cleared, fresh);
}

CustomFieldValue ValueWith(uint64_t fieldId, const CostModifier& modifier)
{
    CustomFieldValue value;
    value.FieldId = fieldId;
    value.Modifier = modifier;
    return value;
}

TEST(UpdateCalcs, WithoutPageSetsLeavesTheCalculations)
{
    Job job;
    job.Costing.BaseBWUnitCost = 1.0;
    JobCalculations calcs;
    calcs.TotalCost = 42.0;
    calcs.LogicalPages = 7;
    job.UpdateCalcs(calcs);
    EXPECT_EQ(calcs.TotalCost, 42.0);
    EXPECT_EQ(calcs.LogicalPages, 7);
}

// The rules' modifier, the user's and each custom value's all take part.
TEST(UpdateCalcs, AppliesEveryModifierOfTheJob)
{
    Job job;
    job.Costing = MakeCosting({{3, 2}});
    job.Costing.BaseBWUnitCost = 0.10;
    job.Costing.BaseColorUnitCost = 0.50;
    job.ProcessModifier = MakeModifier(0, 0.05, 0.0);
    job.UserModifier = MakeModifier(1, 200, 200);
    job.CustomValues = {ValueWith(4, MakeModifier(2, 1.0)), ValueWith(5, MakeModifier(3, 50))};
    JobCalculations calcs;
    job.UpdateCalcs(calcs);
    EXPECT_NEAR(calcs.BWUnitCost, 0.15, 1e-12);
    EXPECT_NEAR(calcs.ColorUnitCost, 0.5, 1e-12);
    EXPECT_NEAR(calcs.AddedCost, 0.5, 1e-12);
    EXPECT_NEAR(calcs.TotalCost, 3 * 0.15 + 2 * 0.5 + 0.5, 1e-12);
}

// A job as the server describes it is priced from the keys it reads.
TEST(UpdateCalcs, PricesAJobReadFromJson)
{
    Job job;
    job.FromJson(nlohmann::json::parse(R"({
        "ProcessModifier": {"ModifierType": 2, "BWModifier": 0.75},
        "UserModifier": {"ModifierType": 1, "BWModifier": 50, "ColorModifier": 100},
        "Costing": {"PriceOption": 2, "BaseBWUnitCost": 1.0, "BaseColorUnitCost": 2.0, "Copies": 3,
                    "PercentageModifierOption": 1, "CountAsPhysical": true, "IsDuplex": true, "NUpCount": 1,
                    "PageSets": [{"Width": 2100, "Height": 2970, "BWPages": 4, "ColorPages": 0}]}})"));
    JobCalculations calcs;
    job.UpdateCalcs(calcs);
    EXPECT_EQ(calcs.PhysicalBWPages, 6);  // 4 pages on 2 sheets, 3 copies
    EXPECT_NEAR(calcs.BWUnits, 4 * 0.06237 * 0.5 * 3, 1e-12);
    EXPECT_NEAR(calcs.BWUnitCost, 0.5, 1e-12);
    EXPECT_NEAR(calcs.TotalCost, calcs.BWUnits * 0.5 + 0.75, 1e-12);
}

struct BudgetCase {
    const char* Name;
    bool UseBudget;
    double Remaining;
    double Cost;
    bool Over;
};

const BudgetCase BudgetCases[] = {
    {"CostEqualToBudgetIsOver", true, 5.00, 5.00, true},
    {"CostBelowBudget", true, 5.00, 4.99, false},
    {"CostAboveBudget", true, 5.00, 5.01, true},
    {"EmptyBudgetWithFreeJob", true, 0.0, 0.0, true},
    {"NoBudget", false, 0.0, 100.0, false},
    {"NegativeCostOnEmptyBudget", true, 0.0, -1.0, false},
};

class Budgets : public ::testing::TestWithParam<BudgetCase> {};

TEST_P(Budgets, OverBudget)
{
    const BudgetCase& test = GetParam();
    CustomFieldValue value;
    value.FieldId = 12;
    value.UseBudget = test.UseBudget;
    value.BudgetRemaining = test.Remaining;
    EXPECT_EQ(value.OverBudget(test.Cost), test.Over);

    Job job;
    job.CustomValues = {value};
    uint64_t fieldId = 99;
    EXPECT_EQ(job.CustomFieldsOverBudget(test.Cost, &fieldId), test.Over);
    EXPECT_EQ(fieldId, test.Over ? 12u : 99u);
}

INSTANTIATE_TEST_SUITE_P(Cases, Budgets, ::testing::ValuesIn(BudgetCases), TestSupport::CaseName());

TEST(Budgets, FirstValueOverBudgetInListOrder)
{
    auto budget = [](uint64_t fieldId, bool use, double remaining) {
        CustomFieldValue value;
        value.FieldId = fieldId;
        value.UseBudget = use;
        value.BudgetRemaining = remaining;
        return value;
    };
    Job job;
    job.CustomValues = {budget(1, false, 0), budget(2, true, 3), budget(3, true, 1)};
    uint64_t fieldId = 0;
    EXPECT_TRUE(job.CustomFieldsOverBudget(2.0, &fieldId));
    EXPECT_EQ(fieldId, 3u);
    EXPECT_TRUE(job.CustomFieldsOverBudget(5.0, &fieldId));
    EXPECT_EQ(fieldId, 2u);
    EXPECT_FALSE(job.CustomFieldsOverBudget(0.5, &fieldId));
    EXPECT_TRUE(job.CustomFieldsOverBudget(5.0));  // the field id may be left out
}

}  // namespace
