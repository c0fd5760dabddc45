// The drop-downs, the free-code field and the pair of options as a user
// works them: their item lists, choosing, dependence on a parent field's
// value, and adding a code.
#include "Client/CustomFields/CustomFieldAdder.h"
#include "Client/CustomFields/CustomFieldComboBox.h"
#include "Client/CustomFields/LastTenComboControl.h"
#include "Client/CustomFields/NonValidatedField.h"
#include "Client/CustomFields/OptionField.h"
#include "Client/CustomFields/SearchableDropDown.h"
#include "tests/CustomFieldControls/ControlFixture.h"
#include "tests/Support/Gui/ModalAnswerer.h"
#include "tests/Support/NamedCases.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace ControlTests {
namespace {

using TestSupport::operator<<;
using StandIn::Answer;

QComboBox& BoxOf(CustomFieldControl& control)
{
    auto* box = control.widget().findChild<QComboBox*>("_comboBox");
    if (box == nullptr)
        box = qobject_cast<QComboBox*>(&control.widget());
    EXPECT_NE(box, nullptr);
    return *box;
}

// The last ten of the account field: A102, A100 and A104, newest first.
void RememberThreeAccounts()
{
    Remember(1, 0, {{"A102", 103}, {"A100", 101}, {"A104", 105}});
}

const QStringList kAccountValues = {"A100 - Account 0", "A101 - Account 1", "A102 - Account 2", "A103 - Account 3",
                                    "A104 - Account 4"};

struct ItemList {
    const char* Name;
    Kind kind;
    bool remembered;
    QStringList items;
    const char* firstRememberedCode;  // chosen by setSelectedIndex 0; "" when it chooses nothing
};

const ItemList ItemListsRows[] = {
    {"DropDownWithoutRememberedValues", Kind::SearchableDropDown, false, kAccountValues, ""},
    {"DropDownWithThree", Kind::SearchableDropDown, true,
     QStringList{"Recently used", "A102 - Account 2", "A100 - Account 0", "A104 - Account 4", "All values"}
         + kAccountValues,
     "A102"},
    {"SearchableFieldWithThree", Kind::SearchableField, true,
     QStringList{"Recently used", "A102 - A102 text", "A100 - A100 text", "A104 - A104 text", "All values"}
         + kAccountValues,
     "A102"},
    {"FreeCodeWithThree", Kind::NonValidatedField, true,
     QStringList{"Recently used", "A102", "A100", "A104", "All values"}, "A102"},
    {"FreeCodeWithoutRememberedValues", Kind::NonValidatedField, false, QStringList{}, ""},
};

class ItemLists : public ControlTest, public ::testing::WithParamInterface<ItemList> {};

TEST_P(ItemLists, ShowTheRememberedValuesBetweenHeaderAndFooterAboveTheValues)
{
    if (GetParam().remembered)
        RememberThreeAccounts();
    CustomField field = AccountField();
    std::unique_ptr<CustomFieldControl> control = Make(GetParam().kind, field);
    EXPECT_EQ(Items(BoxOf(*control)), GetParam().items);

    control->useLastEntry();
    std::optional<CustomFieldValue> chosen = control->selectedCustomFieldValue();
    EXPECT_EQ(chosen ? chosen->Code : "", GetParam().firstRememberedCode);
}

INSTANTIATE_TEST_SUITE_P(Cases, ItemLists, ::testing::ValuesIn(ItemListsRows), TestSupport::CaseName());

struct EmptyItem {
    const char* Name;
    Kind kind;
    int item;
};

const EmptyItem EmptyItemsRows[] = {
    {"DropDownHeader", Kind::SearchableDropDown, 0},
    {"DropDownFooter", Kind::SearchableDropDown, 4},
    {"FreeCodeHeader", Kind::NonValidatedField, 0},
    {"FreeCodeFooter", Kind::NonValidatedField, 4},
};

class HeaderAndFooter : public ControlTest, public ::testing::WithParamInterface<EmptyItem> {};

TEST_P(HeaderAndFooter, ChooseNothingAndEmptyTheBox)
{
    RememberThreeAccounts();
    CustomField field = AccountField();
    std::unique_ptr<CustomFieldControl> control = Make(GetParam().kind, field);
    control->useLastEntry();
    ASSERT_TRUE(control->selectedCustomFieldValue());

    ChooseInList(BoxOf(*control), GetParam().item);
    EXPECT_EQ(BoxOf(*control).currentIndex(), -1);
    EXPECT_EQ(BoxOf(*control).currentText(), "");
    EXPECT_FALSE(control->selectedCustomFieldValue());
}

INSTANTIATE_TEST_SUITE_P(Cases, HeaderAndFooter, ::testing::ValuesIn(EmptyItemsRows), TestSupport::CaseName());

using DropDown = ControlTest;

TEST_F(DropDown, DismissingTheListKeepsTheChoiceAndTheSameChoiceIsNoChange)
{
    RememberThreeAccounts();
    CustomField field = AccountField();
    std::unique_ptr<CustomFieldControl> control = Make(Kind::SearchableDropDown, field);
    auto& box = static_cast<CustomFieldComboBox&>(BoxOf(*control));
    box.setCurrentIndex(7);
    mDelegate.notices.clear();

    ChooseInList(box, 7);
    EXPECT_TRUE(mDelegate.notices.empty());

    box.showPopup();
    box.setCurrentIndex(-1);  // the list's selection went while it was open
    QTest::keyClick(box.view(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(box.currentIndex(), 7);
    EXPECT_EQ(box.currentText(), "A102 - Account 2");
    EXPECT_TRUE(mDelegate.notices.empty());

    ChooseInList(box, 8);
    ASSERT_EQ(mDelegate.notices.size(), 1u);
    EXPECT_EQ(ChosenId(*control), 104u);
}

TEST_F(DropDown, TypingCompletesWithTheFirstValueHoldingTheText)
{
    CustomField field = AccountField();
    std::unique_ptr<CustomFieldControl> control = Make(Kind::SearchableDropDown, field);
    QLineEdit* edit = BoxOf(*control).lineEdit();
    QTest::keyClicks(edit, "A103");
    EXPECT_EQ(edit->text(), "A103 - Account 3");
    EXPECT_EQ(edit->selectedText(), " - Account 3");
    EXPECT_EQ(ChosenId(*control), 104u);

    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "A103");
    EXPECT_FALSE(control->selectedCustomFieldValue());
}

// A value whose text is far too long for the box, picked from the list as a
// user picks it, shows its start (its code), cut with "…", and whole in the
// tooltip.
TEST_F(DropDown, ALongPickedValueShowsItsCodeAndIsWholeInItsTooltip)
{
    const std::string description(290, 'x');
    for (Kind kind : {Kind::SearchableDropDown, Kind::SearchableField, Kind::SimpleDropDown}) {
        SCOPED_TRACE(static_cast<int>(kind));
        CustomField field = Field(1, "Account", {Value(1, 101, "A100", "Short"), Value(1, 102, "LONG42", description)});
        std::unique_ptr<CustomFieldControl> control = Make(kind, field);
        auto& box = static_cast<CustomFieldComboBox&>(BoxOf(*control));
        // Chosen with the keyboard: the list is wider than the screen.
        auto choose = [&box](int item) {
            box.showPopup();
            box.view()->setCurrentIndex(box.view()->model()->index(item, box.modelColumn()));
            QTest::keyClick(box.view(), Qt::Key_Return);
            QApplication::processEvents();
        };
        choose(box.count() - 1);
        const QString whole = box.currentText();
        ASSERT_TRUE(whole.startsWith(kind == Kind::SimpleDropDown ? QString::fromStdString(description) : "LONG42"));
        EXPECT_TRUE(box.isElided());
        EXPECT_EQ(box.toolTip(), whole);
        if (QLineEdit* edit = box.lineEdit()) {
            EXPECT_EQ(edit->cursorPosition(), 0);  // the start in view
        }
        choose(box.count() - 2);
        EXPECT_FALSE(box.isElided());
        EXPECT_EQ(box.toolTip(), "");
    }
}

TEST_F(DropDown, OptionsOfferTheFirstTwoValuesAndClearingChoosesTheFirst)
{
    CustomField field = AccountField();
    field.GetCurrentValuesList().resize(3);
    std::unique_ptr<CustomFieldControl> control = Make(Kind::OptionField, field);
    auto rows = control->widget().findChildren<QRadioButton*>();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0]->text(), "Account 0");
    EXPECT_EQ(rows[1]->text(), "Account 1");
    EXPECT_FALSE(control->selectedCustomFieldValue());

    QTest::mouseClick(rows[1], Qt::LeftButton, {}, QPoint(8, rows[1]->height() / 2));  // on the button's circle
    EXPECT_EQ(ChosenId(*control), 102u);
    control->setSelectedValue(nullptr);
    EXPECT_TRUE(rows[0]->isChecked());
    EXPECT_EQ(ChosenId(*control), 101u);
    EXPECT_EQ(mDelegate.notices.size(), 2u);

    const CustomFieldValue third = field.GetCurrentValuesList().at(2);
    control->setSelectedValue(&third);
    EXPECT_FALSE(rows[0]->isChecked() || rows[1]->isChecked());
    EXPECT_FALSE(control->selectedCustomFieldValue());
}

// An account drop-down and a project drop-down that depends on it, linked
// as the pop-up links them.
class DependentDropDown : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        mParent = Make(Kind::SearchableDropDown, mAccounts);
        mChild = Make(Kind::SearchableDropDown, mProjects, true, 50);
        mChild->setParentControl(mParent.get());
    }

    QStringList ChooseAccount(int item)
    {
        ChooseInList(BoxOf(*mParent), item);
        return Items(BoxOf(*mChild));
    }

    CustomField mAccounts = AccountField();
    CustomField mProjects = Field(2, "Project", {}, 1);
    std::unique_ptr<CustomFieldControl> mParent;
    std::unique_ptr<CustomFieldControl> mChild;
};

TEST_F(DependentDropDown, WaitsForItsParentThenLoadsItsValuesAndRememberedListForTheParentValue)
{
    Remember(2, 101, {{"P201", 202}});
    auto* addButton = mChild->widget().findChild<QPushButton*>("_addButton");
    EXPECT_FALSE(BoxOf(*mChild).isEnabled());
    EXPECT_FALSE(addButton->isEnabled());

    EXPECT_EQ(ChooseAccount(0), (QStringList{"Recently used", "P201 - Project one", "All values", "P200 - Project zero",
                                             "P201 - Project one"}));
    EXPECT_TRUE(BoxOf(*mChild).isEnabled());
    EXPECT_TRUE(addButton->isEnabled());
    ASSERT_EQ(SearchRequests().size(), 1u);
    EXPECT_EQ(SearchRequests().front().value("FieldId", 0), 2);
    EXPECT_EQ(SearchRequests().front().value("ParentValueId", 0), 101);
    ASSERT_FALSE(mDelegate.notices.empty());
    EXPECT_EQ(mDelegate.notices.back(), mParent.get());

    mChild->useLastEntry();
    EXPECT_EQ(ChosenId(*mChild), 202u);
    mParent->setSelectedValue(nullptr);
    EXPECT_FALSE(mChild->selectedCustomFieldValue());
    EXPECT_FALSE(BoxOf(*mChild).isEnabled());
    EXPECT_FALSE(mProjects.HasCustomFieldValues());
}

TEST_F(DependentDropDown, ARememberedValueThatHasGoneIsDroppedWhenChosen)
{
    Remember(2, 101, {{"P299", 299}, {"P200", 201}});
    EXPECT_EQ(ChooseAccount(0).mid(0, 3), (QStringList{"Recently used", "", "P200 - Project zero"}));
    ChooseInList(BoxOf(*mChild), 1);
    EXPECT_FALSE(mChild->selectedCustomFieldValue());
    EXPECT_EQ(RememberedCodes(2, 101), std::vector<std::string>{"P200"});
    EXPECT_EQ(Items(BoxOf(*mChild)).mid(0, 3), (QStringList{"Recently used", "P200 - Project zero", "All values"}));
}

// Before its parent has a value a dependent control keeps to the list of
// parent value 0; the list of the parent value whose id equals the parent
// field's id stays as it was.
TEST_F(DropDown, ADependentControlLeavesTheRememberedValuesOfParentValuesAlone)
{
    Remember(2, 1, {{"P200", 201}});
    CustomField projects = Field(2, "Project", {}, 1);
    std::unique_ptr<CustomFieldControl> control = Make(Kind::SearchableDropDown, projects);
    EXPECT_EQ(RememberedCodes(2, 1), std::vector<std::string>{"P200"});
}

struct AddRight {
    const char* Name;
    Kind kind;
    bool userCanAddCodes;
    int comboWidth;
};

const AddRight AddRightsRows[] = {
    {"DropDownWithAdd", Kind::SearchableDropDown, true, 319},
    {"DropDownWithoutAdd", Kind::SearchableDropDown, false, 350},
    {"SearchableFieldWithAdd", Kind::SearchableField, true, 288},
    {"SearchableFieldWithoutAdd", Kind::SearchableField, false, 319},
};

class AddButtons : public ControlTest, public ::testing::WithParamInterface<AddRight> {};

TEST_P(AddButtons, ComeWithTheRightToAddCodesAndTakeTheirWidthFromTheBox)
{
    CustomField field = AccountField();
    std::unique_ptr<CustomFieldControl> control = Make(GetParam().kind, field, GetParam().userCanAddCodes);
    auto* add = control->widget().findChild<QPushButton*>("_addButton");
    EXPECT_EQ(add != nullptr, GetParam().userCanAddCodes);
    EXPECT_EQ(BoxOf(*control).width(), GetParam().comboWidth);
    if (add != nullptr) {
        EXPECT_EQ(add->geometry(), QRect(325, 0, 25, 25));  // the right end of the control
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, AddButtons, ::testing::ValuesIn(AddRightsRows), TestSupport::CaseName());

struct Addition {
    const char* Name;
    Kind kind;
    bool stored;  // the server's answer carries the new value's id
    const char* logged;
};

const Addition AdditionsRows[] = {
    {"DropDownSelectsTheNewValue", Kind::SearchableDropDown, true,
     "SearchableDropDown::didEndSheet - add new code window has closed."},
    {"SearchableFieldSelectsTheNewValue", Kind::SearchableField, true,
     "SearchableField::didEndSheet - add new code _window has closed."},
    {"AnswerWithoutIdKeepsTheSheet", Kind::SearchableField, false,
     "CustomFieldAdder::addValue - add value authenticatedOperationType failed: 1"},
};

class AddingACode : public ControlTest, public ::testing::WithParamInterface<Addition> {};

TEST_P(AddingACode, StoresItOnTheServer)
{
    Grant();
    if (!GetParam().stored)
        mServer.SetAnswer("POST", "printapi/customfields/values", Answer::Json(200, R"({"Code":"N1","Modifier":{}})"));
    CustomField field = AccountField();
    std::unique_ptr<CustomFieldControl> control = Make(GetParam().kind, field, true);
    QTest::mouseClick(control->widget().findChild<QPushButton*>("_addButton"), Qt::LeftButton);
    auto* sheet = mWindow.findChild<QDialog*>("addPanel");
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    QTest::keyClicks(sheet->findChild<QLineEdit*>("valueCode"), "N1");
    QTest::keyClicks(sheet->findChild<QLineEdit*>("valueDescription"), "New one");

    TestSupport::ModalAnswerer alert([](QWidget& window) { return window.objectName() == "Alert" ? "OK_Button" : ""; });
    QTest::mouseClick(sheet->findChild<QPushButton*>("addValue"), Qt::LeftButton);

    nlohmann::json sent = nlohmann::json::parse(mServer.RequestsTo("POST", "printapi/customfields/values").at(0).body);
    EXPECT_EQ(sent.value("Code", ""), "N1");
    EXPECT_EQ(sent.value("Description", ""), "New one");
    EXPECT_EQ(sent.value("FieldId", 0), 1);
    EXPECT_EQ(alert.Answered(), GetParam().stored ? 0 : 1);
    EXPECT_TRUE(Logged(GetParam().logged));
    EXPECT_EQ(sheet->isVisible(), !GetParam().stored);
    std::optional<CustomFieldValue> chosen = control->selectedCustomFieldValue();
    EXPECT_EQ(chosen.has_value(), GetParam().stored);
    if (chosen) {
        EXPECT_EQ(chosen->Code, "N1");
        EXPECT_GT(chosen->ValueId, 900u);
        EXPECT_EQ(BoxOf(*control).currentText(), "N1 - New one");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, AddingACode, ::testing::ValuesIn(AdditionsRows), TestSupport::CaseName());

}  // namespace
}  // namespace ControlTests
