#include "Core/CVModels/WebDataServiceProcessJobResult.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using TestSupport::operator<<;
using CVClientData::ProcessJobResult;
using CVClientData::WebDataServiceProcessJobResult;
using nlohmann::json;

const char* FullAnswer = R"({
    "ProcessedToStage": 2, "TrackOptionSet": true, "TrackOption": 2, "CancelReason": 6,
    "CustomCancelEventMessage": "Over quota", "SecureOptionSet": true, "SecureOption": 3,
    "PricingChanged": true, "PriceOption": 3, "BWUnitCost": 0.04, "ColorUnitCost": 0.4, "JobType": 5,
    "CountPagesAsPhysical": true, "SpecialFlags": 1, "IgnoreBalancesSet": true, "IgnoreBalances": true,
    "ForceLateRuleAudit": true,
    "ProcessModifier": {"ModifierType": 1, "BWModifier": 90, "ColorModifier": 80},
    "UserModifier": {"ModifierType": 2, "BWModifier": 0.5},
    "PaperSizes": [{"Id": 1, "SizeName": "A4", "FromWidth": 2090, "ToWidth": 2110, "BWCost": 0.1}],
    "Messages": [{"Title": "Note", "Message": "Colour costs more", "Type": 1, "Source": 4, "CustomEventMessage": "e"},
                 {"Title": "Second"}],
    "CustomFieldsAreSet": true,
    "CustomFields": [{"Id": 8, "Name": "Project", "Type": 2}]})";

TEST(RulesAnswer, ReadsEveryKey)
{
    WebDataServiceProcessJobResult answer;
    answer.FromJson(json::parse(FullAnswer));
    EXPECT_EQ(answer.ProcessedToStage, 2);
    EXPECT_TRUE(answer.TrackOptionSet);
    EXPECT_EQ(answer.TrackOption, 2);
    EXPECT_EQ(answer.CancelReason, 6);
    EXPECT_EQ(answer.CustomCancelEventMessage, "Over quota");
    EXPECT_TRUE(answer.SecureOptionSet);
    EXPECT_EQ(answer.SecureOption, 3);
    EXPECT_TRUE(answer.PricingChanged);
    EXPECT_EQ(answer.PriceOption, 3);
    EXPECT_DOUBLE_EQ(answer.BWUnitCost, 0.04);
    EXPECT_DOUBLE_EQ(answer.ColorUnitCost, 0.4);
    EXPECT_EQ(answer.JobType, 5);
    EXPECT_TRUE(answer.CountPagesAsPhysical);
    EXPECT_EQ(answer.SpecialFlags, 1);
    EXPECT_TRUE(answer.IgnoreBalancesSet);
    EXPECT_TRUE(answer.IgnoreBalances);
    EXPECT_TRUE(answer.ForceLateRuleAudit);
    EXPECT_EQ(answer.ProcessModifier.ModifierType, 1);
    EXPECT_DOUBLE_EQ(answer.ProcessModifier.ColorModifier, 80);
    EXPECT_DOUBLE_EQ(answer.UserModifier.BWModifier, 0.5);
    ASSERT_EQ(answer.PaperSizes.size(), 1u);
    EXPECT_EQ(answer.PaperSizes[0].ToWidth, 2110);
    ASSERT_EQ(answer.Messages.size(), 2u);
    EXPECT_EQ(answer.Messages[0].Message, "Colour costs more");
    EXPECT_EQ(answer.Messages[0].Type, 1);
    EXPECT_EQ(answer.Messages[0].Source, 4);
    EXPECT_EQ(answer.Messages[1].Type, 0);  // no "Type": the reader's 0, a cancel
    EXPECT_TRUE(answer.CustomFieldsAreSet);
    ASSERT_EQ(answer.CustomFields.size(), 1u);
    EXPECT_EQ(answer.CustomFields[0].Name, "Project");

    // What the web service hands the job thread is the base part.
    ProcessJobResult result = answer;
    EXPECT_EQ(result.CancelReason, 6);
    EXPECT_EQ(result.Messages.size(), 2u);
    EXPECT_TRUE(result.ForceLateRuleAudit);
}

TEST(RulesAnswer, WritesWhatItReads)
{
    WebDataServiceProcessJobResult answer;
    answer.FromJson(json::parse(FullAnswer));
    json dumped;
    answer.ToJson(dumped);
    WebDataServiceProcessJobResult again;
    again.FromJson(dumped);
    json redumped;
    again.ToJson(redumped);
    EXPECT_EQ(redumped, dumped);
    EXPECT_EQ(dumped.size(), 23u);
}

TEST(RulesAnswer, NewAnswerAndLenientDefaults)
{
    WebDataServiceProcessJobResult fresh;
    EXPECT_EQ(fresh.JobType, 1);
    EXPECT_FALSE(fresh.TrackOptionSet);

    WebDataServiceProcessJobResult read;
    read.FromJson(json::parse(
        R"({"JobType":"7","TrackOptionSet":1,"ProcessModifier":{},"UserModifier":{},"PaperSizes":[],"Messages":[],"CustomFields":[]})"));
    EXPECT_EQ(read.JobType, 0);           // a string is not a number
    EXPECT_FALSE(read.TrackOptionSet);    // a number is not a flag
    EXPECT_TRUE(read.Messages.empty());
}

struct MissingCase {
    const char* Name;
    const char* Key;
    const char* Replacement;  // JSON put in its place, or nullptr to remove it
};

const MissingCase MissingCases[] = {
    {"WithoutProcessModifier", "ProcessModifier", nullptr},
    {"WithoutUserModifier", "UserModifier", nullptr},
    {"WithoutPaperSizes", "PaperSizes", nullptr},
    {"WithoutMessages", "Messages", nullptr},
    {"WithoutCustomFields", "CustomFields", nullptr},
    {"MessagesNull", "Messages", "null"},
    {"MessagesAnObject", "Messages", "{}"},
    {"PaperSizesAString", "PaperSizes", "\"A4\""},
    {"ProcessModifierAList", "ProcessModifier", "[]"},
};

class RequiredParts : public ::testing::TestWithParam<MissingCase> {};

TEST_P(RequiredParts, AnswerFailsToRead)
{
    const MissingCase& test = GetParam();
    json answer = json::parse(FullAnswer);
    if (test.Replacement == nullptr)
        answer.erase(test.Key);
    else
        answer[test.Key] = json::parse(test.Replacement);
    WebDataServiceProcessJobResult read;
    EXPECT_THROW(read.FromJson(answer), json::exception);
}

INSTANTIATE_TEST_SUITE_P(Cases, RequiredParts, ::testing::ValuesIn(MissingCases), TestSupport::CaseName());

// A list is emptied before it is read, so a failed read keeps nothing old.
TEST(RulesAnswer, FailedReadLeavesNoOldMessages)
{
    WebDataServiceProcessJobResult answer;
    answer.FromJson(json::parse(FullAnswer));
    json broken = json::parse(FullAnswer);
    broken["Messages"] = 3;
    EXPECT_THROW(answer.FromJson(broken), json::exception);
    EXPECT_TRUE(answer.Messages.empty());
}

}  // namespace
