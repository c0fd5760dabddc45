#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/CostingOptions.h"
#include "Core/CVModels/WebDataServiceProcessJobResult.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using TestSupport::operator<<;
using CVClientData::WebDataServiceProcessJobResult;
using nlohmann::json;

// A job as the client has it before the rules answer: tracked with a pop-up,
// priced by paper size with an A4 entry of 0.10 and 0.50, one A4 page set not
// yet priced, one custom field, a cancel reason from an earlier stage.
ClientJob JobBeforeTheAnswer()
{
    ClientJob job;
    job.TrackOption = 1;
    job.JobType = 1;
    job.UpdateBalances = true;
    job.SecureOption = 0;
    job.Options.SpecialProcessingFlags = 1;
    job.Costing.PriceOption = CVClientData::PriceByPaperSize;
    job.Costing.BaseBWUnitCost = 0.05;
    job.Costing.BaseColorUnitCost = 0.25;
    CVClientData::PricingPaperSize a4;
    a4.SizeName = "A4";
    a4.FromWidth = a4.ToWidth = 2100;
    a4.FromHeight = a4.ToHeight = 2970;
    a4.BWCost = 0.10;
    a4.ColorCost = 0.50;
    job.Costing.PaperSizes = {a4};
    job.AddPageSet("", 2100, 2970, 2, 0, 0);
    CVClientData::CustomField field;
    field.Id = 1;
    job.Options.CustomField = {field};
    job.CancelReason = 5;
    job.CustomCancelEventMessage = "old";
    return job;
}

// An answer that decides nothing: every flag false, the required parts empty.
json NeutralAnswer()
{
    return json::parse(R"({"ProcessModifier":{},"UserModifier":{},"PaperSizes":[],"Messages":[],"CustomFields":[],
                           "SpecialFlags":1,"CancelReason":5,"CustomCancelEventMessage":"old"})");
}

struct MapCase {
    const char* Name;
    const char* Answer;  // keys laid over the neutral answer
    std::function<void(const ClientJob&)> Check;
};

const MapCase MapCases[] = {
    {"TrackOptionIgnoredUnlessSet", R"({"TrackOption":4})",
     [](const ClientJob& job) { EXPECT_EQ(job.TrackOption, 1); }},
    {"TrackOptionSet", R"({"TrackOptionSet":true,"TrackOption":4})",
     [](const ClientJob& job) { EXPECT_EQ(job.TrackOption, 4); }},
    {"WithoutPricingChangeStillRepricesWithTheJobsTable", R"({"PriceOption":0,"BWUnitCost":9,"JobType":7})",
     [](const ClientJob& job) {
         EXPECT_EQ(job.Costing.PriceOption, CVClientData::PriceByPaperSize);
         EXPECT_DOUBLE_EQ(job.Costing.PageSets.at(0).BaseBWUnitCost, 0.10);
         EXPECT_EQ(job.Costing.PageSets.at(0).SizeName, "A4");
         EXPECT_EQ(job.JobType, 1);
     }},
    {"PricingChangeIsAppliedBeforeRepricing",
     R"({"PricingChanged":true,"PriceOption":3,"BWUnitCost":0.01,"ColorUnitCost":0.02,"JobType":7,
         "CountPagesAsPhysical":true,"ProcessModifier":{"ModifierType":2,"BWModifier":1},
         "UserModifier":{"ModifierType":0,"BWModifier":0.5},
         "PaperSizes":[{"SizeName":"Any A4","FromWidth":2000,"ToWidth":2200,"FromHeight":2900,"ToHeight":3000,
                        "BWCost":0.2,"ColorCost":0.7,"PageUnits":3}]})",
     [](const ClientJob& job) {
         const CVClientData::PageSet& pageSet = job.Costing.PageSets.at(0);
         EXPECT_EQ(pageSet.SizeName, "Any A4");
         EXPECT_DOUBLE_EQ(pageSet.BaseBWUnitCost, 0.2);
         EXPECT_EQ(pageSet.PageUnits, 3);
         EXPECT_DOUBLE_EQ(job.Costing.BaseBWUnitCost, 0.01);
         EXPECT_DOUBLE_EQ(job.Costing.BaseColorUnitCost, 0.02);
         EXPECT_TRUE(job.Costing.CountAsPhysical);
         EXPECT_EQ(job.JobType, 7);
         EXPECT_EQ(job.ProcessModifier.ModifierType, 2);
         EXPECT_DOUBLE_EQ(job.UserModifier.BWModifier, 0.5);
     }},
    {"PricingChangeToPerPageUsesTheNewBaseCosts", R"({"PricingChanged":true,"PriceOption":0,"BWUnitCost":0.03})",
     [](const ClientJob& job) {
         EXPECT_DOUBLE_EQ(job.Costing.PageSets.at(0).BaseBWUnitCost, 0.03);
         EXPECT_EQ(job.Costing.PageSets.at(0).PageUnits, 0);
         EXPECT_TRUE(job.Costing.PaperSizes.empty());
     }},
    {"CustomFieldsIgnoredUnlessSet", R"({"CustomFields":[{"Id":9}]})",
     [](const ClientJob& job) {
         ASSERT_EQ(job.Options.CustomField.size(), 1u);
         EXPECT_EQ(job.Options.CustomField[0].Id, 1u);
     }},
    {"CustomFieldsSetReplaceTheJobsList", R"({"CustomFieldsAreSet":true,"CustomFields":[{"Id":9},{"Id":10}]})",
     [](const ClientJob& job) {
         ASSERT_EQ(job.Options.CustomField.size(), 2u);
         EXPECT_EQ(job.Options.CustomField[0].Id, 9u);
         EXPECT_EQ(job.Options.CustomField[1].Id, 10u);
     }},
    {"CustomFieldsSetToNone", R"({"CustomFieldsAreSet":true})",
     [](const ClientJob& job) { EXPECT_TRUE(job.Options.CustomField.empty()); }},
    {"IgnoreBalancesIgnoredUnlessSet", R"({"IgnoreBalances":true})",
     [](const ClientJob& job) { EXPECT_TRUE(job.UpdateBalances); }},
    {"IgnoreBalancesSet", R"({"IgnoreBalancesSet":true,"IgnoreBalances":true})",
     [](const ClientJob& job) { EXPECT_FALSE(job.UpdateBalances); }},
    {"SpecialFlagsAlwaysTaken", R"({"SpecialFlags":0})",
     [](const ClientJob& job) { EXPECT_EQ(job.Options.SpecialProcessingFlags, 0); }},
    {"SecureOptionIgnoredUnlessSet", R"({"SecureOption":2})",
     [](const ClientJob& job) { EXPECT_EQ(job.SecureOption, 0); }},
    {"SecureOptionSet", R"({"SecureOptionSet":true,"SecureOption":2})",
     [](const ClientJob& job) { EXPECT_EQ(job.SecureOption, 2); }},
    {"CancelReasonAndTextAlwaysTaken", R"({"CancelReason":0,"CustomCancelEventMessage":""})",
     [](const ClientJob& job) {
         EXPECT_EQ(job.CancelReason, 0);
         EXPECT_EQ(job.CustomCancelEventMessage, "");
     }},
    {"StageAndAuditStayWithTheResult", R"({"ProcessedToStage":3,"ForceLateRuleAudit":true})",
     [](const ClientJob& job) {
         EXPECT_EQ(job.ProcessedToStage, 0);
         EXPECT_FALSE(job.ForceLateRuleAudit);
     }},
};

class MapResults : public ::testing::TestWithParam<MapCase> {};

TEST_P(MapResults, AppliedToTheJob)
{
    const MapCase& test = GetParam();
    json text = NeutralAnswer();
    text.update(json::parse(test.Answer));
    WebDataServiceProcessJobResult answer;
    answer.FromJson(text);
    ClientJob job = JobBeforeTheAnswer();
    answer.MapProcessResultsToJob(job);
    test.Check(job);
}

INSTANTIATE_TEST_SUITE_P(Cases, MapResults, ::testing::ValuesIn(MapCases), TestSupport::CaseName());

// A neutral answer changes nothing but the pricing of the page sets.
TEST(MapResults, NeutralAnswerOnlyPricesThePageSets)
{
    WebDataServiceProcessJobResult answer;
    answer.FromJson(NeutralAnswer());
    ClientJob job = JobBeforeTheAnswer();
    ClientJob expected = JobBeforeTheAnswer();
    expected.Costing.UpdatePageSetPricing();
    answer.MapProcessResultsToJob(job);
    json mapped;
    job.ToJson(mapped);
    json unchanged;
    expected.ToJson(unchanged);
    EXPECT_EQ(mapped, unchanged);
    EXPECT_EQ(job.CancelReason, 5);
}

}  // namespace
