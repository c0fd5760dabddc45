// What the controls remember of a user's choices: the last ten of a field,
// the value last chosen in a fixed list, and the ids of typed codes, all in
// the user's defaults as soon as they are written.
#include "Client/CustomFields/LastTenValues.h"
#include "Client/CustomFields/NonValidatedField.h"
#include "Client/CustomFields/SearchableDropDown.h"
#include "Platform/Qt/UserDefaults.h"
#include "tests/CustomFieldControls/ControlFixture.h"
#include "tests/Support/NamedCases.h"

#include <QLineEdit>
#include <QTest>

#include <memory>

namespace ControlTests {
namespace {

using TestSupport::operator<<;
using Strings = std::vector<std::string>;

using RememberedValues = ControlTest;

TEST_F(RememberedValues, TheEleventhDistinctValueDropsTheOldest)
{
    std::vector<CustomFieldValue> values;
    for (uint64_t i = 0; i < 11; ++i)
        values.push_back(Value(9, 900 + i, "V" + std::to_string(i), "value"));
    CustomField field = Field(9, "Matter", values);
    for (const CustomFieldValue& value : values) {
        // A control per job, as each pop-up makes its own.
        SearchableDropDown control(Row(), field, *mService, false, &mWindow);
        control.setSelectedValue(&value);
        control.jobWillBeSaved();
    }
    EXPECT_EQ(RememberedCodes(9, 0), (Strings{"V10", "V9", "V8", "V7", "V6", "V5", "V4", "V3", "V2", "V1"}));
}

TEST_F(RememberedValues, ACodeInOtherLetterCaseMovesItsEntryToTheFrontUnchanged)
{
    Remember(3, 0, {{"a1", 11}, {"B2", 12}, {"c3", 13}});
    CustomField field = Field(3, "Project");
    LastTenValues remembered(field, 0);
    remembered.addValue(Value(3, 99, "C3", "new description"));
    remembered.saveToUserPrefs();

    LastTenValues stored(field, 0);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored.values().front().Code, "c3");
    EXPECT_EQ(stored.values().front().ValueId, 13);
    EXPECT_EQ(stored.values().front().Description, "c3 text");
    EXPECT_EQ(RememberedCodes(3, 0), (Strings{"c3", "a1", "B2"}));
}

struct TypedCode {
    const char* Name;
    const char* Typed;
    int64_t Id;
    const char* RememberedFirst;  // the newest remembered code once the job is saved
};

const TypedCode TypedCodesRows[] = {
    {"KnownCode", "k-7", 7, "k-7"},
    {"KnownCodeInOtherCase", "new-1", -1, "NEW-1"},
    {"NewCodeGoesBelowEveryId", "fresh", -2, "fresh"},
};

class TypedCodes : public ControlTest, public ::testing::WithParamInterface<TypedCode> {};

TEST_P(TypedCodes, CarryTheIdOfTheirRememberedCodeOrANewOne)
{
    Remember(4, 0, {{"k-7", 7}, {"NEW-1", -1}});
    CustomField field = Field(4, "Reference");
    NonValidatedField control(Row(), field, *mService, &mWindow);
    QTest::keyClicks(control.lineEdit(), GetParam().Typed);
    std::optional<CustomFieldValue> value = control.selectedCustomFieldValue();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->Code, GetParam().Typed);
    EXPECT_EQ(static_cast<int64_t>(value->ValueId), GetParam().Id);
    EXPECT_EQ(value->FieldId, 4u);

    control.jobWillBeSaved();
    EXPECT_EQ(RememberedCodes(4, 0).front(), GetParam().RememberedFirst);
}

INSTANTIATE_TEST_SUITE_P(Cases, TypedCodes, ::testing::ValuesIn(TypedCodesRows), TestSupport::CaseName());

// A drop-down and a pair of options remember the value chosen last, and the
// next pop-up's control chooses it again.
struct FixedChoice {
    const char* Name;
    Kind kind;
};

const FixedChoice FixedChoicesRows[] = {{"SimpleDropDown", Kind::SimpleDropDown}, {"OptionField", Kind::OptionField}};

class FixedChoices : public ControlTest, public ::testing::WithParamInterface<FixedChoice> {};

TEST_P(FixedChoices, RememberTheValueChosenLast)
{
    CustomField field = Field(6, "Colour", {Value(6, 61, "R", "Red"), Value(6, 62, "G", "Green")});
    {
        std::unique_ptr<CustomFieldControl> control = Make(GetParam().kind, field);
        const CustomFieldValue green = field.GetCurrentValuesList().at(1);
        control->setSelectedValue(&green);
        control->jobWillBeSaved();
    }
    EXPECT_EQ(Platform::UserDefaults::Value("Field6Value").toLongLong(), 62);

    std::unique_ptr<CustomFieldControl> next = Make(GetParam().kind, field);
    next->setSelectedValue(nullptr);
    next->useLastEntry();
    EXPECT_EQ(ChosenId(*next), 62u);
}

INSTANTIATE_TEST_SUITE_P(Cases, FixedChoices, ::testing::ValuesIn(FixedChoicesRows), TestSupport::CaseName());

}  // namespace
}  // namespace ControlTests
