#include "FakeCustomFieldSource.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using TestSupport::operator<<;
using CustomFieldTest::MakeValue;
using namespace CVClientData;

struct FormatCase {
    const char* Name;
    const char* Code;
    const char* Description;
    const char* Long;
    const char* Short;
};

const FormatCase FormatCases[] = {
    {"CodeAndDescription", "A1", "Marketing", "A1 - Marketing", "Marketing"},
    {"EmptyDescriptionKeepsSeparator", "A1", "", "A1 - ", "A1"},
    {"EmptyCode", "", "Marketing", " - Marketing", "Marketing"},
    {"BothEmpty", "", "", " - ", ""},
    {"TextIsKeptAsReceived", "\xC3\xA9t\xC3\xA9", " x ", "\xC3\xA9t\xC3\xA9 -  x ", " x "},
};

class ValueFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ValueFormats, LongAndShort)
{
    const FormatCase& test = GetParam();
    CustomFieldValue value = MakeValue(1, test.Code, test.Description);
    EXPECT_EQ(value.ConstructLongFormatString(), test.Long);
    EXPECT_EQ(value.ConstructShortFormatString(), test.Short);
}

INSTANTIATE_TEST_SUITE_P(Cases, ValueFormats, ::testing::ValuesIn(FormatCases), TestSupport::CaseName());

// Values 0 to 4 of one field: two share value id 7, one has no description.
class CurrentValues : public ::testing::Test {
protected:
    CurrentValues()
    {
        mField.AddCustomFieldValue(MakeValue(7, "AB", "First seven"));
        mField.AddCustomFieldValue(MakeValue(8, "A1", ""));
        mField.AddCustomFieldValue(MakeValue(7, "AC", "Second seven"));
        mField.AddCustomFieldValue(MakeValue(9, "X", "abc"));
        mField.AddCustomFieldValue(MakeValue(10, "X", "abc"));
    }

    CustomField mField;
};

struct FindCase {
    const char* Name;
    const char* Text;
    int64_t ExactIndex;        // FindCustomFieldValueIndexForExactString
    const char* PartialCode;   // code of FindFirstMatchForPartialString, nullptr for none
};

const FindCase FindCases[] = {
    {"ExactLongFormat", "AB - First seven", 0, "AB"},
    {"ExactNeedsSeparatorEvenWithoutDescription", "A1", -1, "A1"},
    {"ExactWithSeparator", "A1 - ", 1, "A1"},
    {"ExactTakesTheLastOfEqualTexts", "X - abc", 4, "X"},
    {"PartialIsCaseSensitive", "ab", -1, "X"},
    {"PartialTakesTheFirst", "seven", -1, "AB"},
    {"PartialInTheMiddle", "C - Sec", -1, "AC"},
    {"EmptyTextMatchesTheFirstOnly", "", -1, "AB"},
    {"NothingMatches", "zzz", -1, nullptr},
};

class FindByText : public CurrentValues, public ::testing::WithParamInterface<FindCase> {};

TEST_P(FindByText, ExactAndPartial)
{
    const FindCase& test = GetParam();
    EXPECT_EQ(mField.FindCustomFieldValueIndexForExactString(test.Text), test.ExactIndex);
    std::optional<CustomFieldValue> partial = mField.FindFirstMatchForPartialString(test.Text);
    ASSERT_EQ(partial.has_value(), test.PartialCode != nullptr);
    if (partial) {
        EXPECT_EQ(partial->Code, test.PartialCode);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FindByText, ::testing::ValuesIn(FindCases), TestSupport::CaseName());

TEST_F(CurrentValues, FindByIdTakesTheLast)
{
    EXPECT_EQ(mField.FindCustomFieldValueIndex(7), 2);
    EXPECT_EQ(mField.FindCustomFieldValueById(7)->Code, "AC");
    EXPECT_EQ(mField.FindCustomFieldValueIndex(8), 1);
    EXPECT_EQ(mField.FindCustomFieldValueIndex(11), -1);
    EXPECT_FALSE(mField.FindCustomFieldValueById(11).has_value());
}

TEST_F(CurrentValues, AddAppendsACopy)
{
    CustomFieldValue value = MakeValue(20, "N", "New");
    EXPECT_EQ(mField.AddCustomFieldValue(value), 5);
    value.Code = "changed";
    EXPECT_EQ(mField.GetCurrentValuesList().at(5).Code, "N");
    EXPECT_EQ(mField.CountCustomFieldValues(), 6u);
}

TEST_F(CurrentValues, ClearEmptiesTheList)
{
    EXPECT_TRUE(mField.HasCustomFieldValues());
    mField.ClearCurrentValueList();
    EXPECT_FALSE(mField.HasCustomFieldValues());
    EXPECT_EQ(mField.CountCustomFieldValues(), 0u);
    EXPECT_FALSE(mField.FindFirstMatchForPartialString("").has_value());
    EXPECT_EQ(mField.FindCustomFieldValueIndex(7), -1);
}

TEST_F(CurrentValues, LookupNeverFinds)
{
    CustomFieldTest::FakeCustomFieldSource source;
    source.mvecValues = {MakeValue(7, "AB", "")};
    EXPECT_FALSE(mField.LookupCustomFieldValue("AB", 0, source));
    EXPECT_EQ(source.mintListSizeWhenAsked, -1);  // the server was not asked
}

TEST_F(CurrentValues, LoadReplacesTheListFromTheServer)
{
    mField.Id = 31;
    CustomFieldTest::FakeCustomFieldSource source;
    source.mvecValues = {MakeValue(40, "P", "Project")};
    EXPECT_TRUE(mField.LoadAllCustomFieldValues(source, 12));
    EXPECT_EQ(source.mulAskedFieldId, 31u);
    EXPECT_EQ(source.mulAskedParentValueId, 12u);
    EXPECT_EQ(source.mintListSizeWhenAsked, 0);  // emptied before asking
    ASSERT_EQ(mField.CountCustomFieldValues(), 1u);
    EXPECT_EQ(mField.GetCurrentValuesList().at(0).ValueId, 40u);

    source.mblnSucceed = false;
    EXPECT_FALSE(mField.LoadAllCustomFieldValues(source, 0));
    EXPECT_FALSE(mField.HasCustomFieldValues());
}

// Only the field's own keys travel; the values and user-interface members
// stay with the record and are copied with it.
TEST_F(CurrentValues, JsonCarriesOnlyTheFieldsKeys)
{
    mField.Id = 3;
    mField.ParentId = 2;
    mField.ChildId = 4;
    mField.Name = "Project";
    mField.Type = 2;
    mField.UserInterfaceTag = 77;
    mField.OwnValue = MakeValue(5, "V", "");
    nlohmann::json dumped;
    mField.ToJson(dumped);
    EXPECT_EQ(dumped, nlohmann::json::parse(R"({"Id":3,"ParentId":2,"ChildId":4,"Name":"Project","Type":2})"));

    CustomField copy = mField;
    EXPECT_EQ(copy.CountCustomFieldValues(), 5u);
    EXPECT_EQ(copy.UserInterfaceTag, 77);
    EXPECT_EQ(copy.OwnValue.ValueId, 5u);

    CustomField read;
    read.FromJson(dumped);
    nlohmann::json again;
    read.ToJson(again);
    EXPECT_EQ(again, dumped);
    EXPECT_EQ(read.CountCustomFieldValues(), 0u);
}

TEST(CustomFieldValueJson, ModifierIsRequired)
{
    CustomFieldValue value;
    EXPECT_THROW(value.FromJson(nlohmann::json::parse(R"({"FieldId":1,"Code":"A"})")), nlohmann::json::out_of_range);
    value.FromJson(nlohmann::json::parse(
        R"({"FieldId":1,"ValueId":2,"Code":"A","UseBudget":true,"BudgetRemaining":4.5,"Modifier":{"ModifierType":2,"BWModifier":1.5}})"));
    EXPECT_EQ(value.ValueId, 2u);
    EXPECT_EQ(value.Code, "A");
    EXPECT_TRUE(value.UseBudget);
    EXPECT_DOUBLE_EQ(value.BudgetRemaining, 4.5);
    EXPECT_EQ(value.Modifier.ModifierType, 2);
    EXPECT_DOUBLE_EQ(value.Modifier.BWModifier, 1.5);
}

}  // namespace
