// The searchable field: its paged search dialog answered by the stand-in
// server, typed text resolved when the job is saved, its dependence on a
// parent field, and the value-gone alert.
#include "Client/CustomFields/CustomFieldSearchWindow.h"
#include "Client/CustomFields/SearchableField.h"
#include "tests/CustomFieldControls/ControlFixture.h"
#include "tests/Support/Gui/ModalAnswerer.h"
#include "tests/Support/NamedCases.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <algorithm>

namespace ControlTests {
namespace {

using TestSupport::operator<<;
using StandIn::Answer;
using nlohmann::json;

// A search answer: the request's criteria and page, the page count, and a
// value per code.
Answer SearchAnswer(const StandIn::RecordedRequest& request, int pageCount, const std::vector<std::string>& codes)
{
    json answer = json::parse(request.body);
    answer["PageCount"] = pageCount;
    answer["MatchingValues"] = json::array();
    uint64_t id = 700;
    for (const std::string& code : codes)
        answer["MatchingValues"].push_back(
            {{"FieldId", answer.value("FieldId", 0)}, {"ValueId", ++id}, {"Code", code}, {"Description", code + " matter"},
             {"Modifier", json::object()}});
    return Answer::Json(200, answer.dump());
}

// Three pages of two values each, named after the page.
StandIn::Responder ThreePages()
{
    return [](const StandIn::RecordedRequest& request) {
        std::string page = std::to_string(json::parse(request.body).value("PageNumber", 0));
        return SearchAnswer(request, 3, {"M" + page + "a", "M" + page + "b"});
    };
}

struct DialogState {
    std::string pageText;
    bool previous;
    bool next;
    int rows;
};

DialogState StateOf(CustomFieldSearchWindow& dialog)
{
    return {dialog._pageTextField->text().toStdString(), dialog._previousPageButton->isEnabled(),
            dialog._nextPageButton->isEnabled(), dialog._searchResults->rowCount()};
}

bool operator==(const DialogState& left, const DialogState& right)
{
    return left.pageText == right.pageText && left.previous == right.previous && left.next == right.next
           && left.rows == right.rows;
}

std::ostream& operator<<(std::ostream& out, const DialogState& state)
{
    return out << state.pageText << (state.previous ? " previous" : "") << (state.next ? " next" : "") << ", "
               << state.rows << " rows";
}

void Click(QWidget& dialog, const char* name)
{
    QTest::mouseClick(dialog.findChild<QPushButton*>(name), Qt::LeftButton);
}

void SearchFor(CustomFieldSearchWindow& dialog, const char* text)
{
    dialog._searchField->clear();
    QTest::keyClicks(dialog._searchField, text);
    Click(dialog, "_doSearchButton");
}

class SearchDialog : public ControlTest {
protected:
    // Opens the dialog with the search button and runs the steps in it
    // while it is up; the steps answer the name of the button that ends it.
    void WithDialog(SearchableField& control, std::function<const char*(CustomFieldSearchWindow&)> steps)
    {
        TestSupport::ModalAnswerer answerer([&](QWidget& window) -> QString {
            auto* dialog = qobject_cast<CustomFieldSearchWindow*>(&window);
            EXPECT_NE(dialog, nullptr);
            return dialog != nullptr ? steps(*dialog) : "cancelValueSelection";
        });
        QTest::mouseClick(control.findChild<QPushButton*>("_searchButton"), Qt::LeftButton);
        EXPECT_EQ(answerer.Answered(), 1);
    }

    CustomField mMatters = Field(7, "Matter");
};

TEST_F(SearchDialog, PagesFollowThePageCountAndANewTextKeepsThePage)
{
    mServer.SetResponder("PUT", "printapi/customfields/values/search", ThreePages());
    SearchableField control(Row(), mMatters, *mService, false, &mWindow);
    WithDialog(control, [&](CustomFieldSearchWindow& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Search Matter");
        SearchFor(dialog, "M");
        EXPECT_EQ(StateOf(dialog), (DialogState{"Page 1 of 3", false, true, 2}));
        Click(dialog, "_nextPageButton");
        Click(dialog, "_nextPageButton");
        EXPECT_EQ(StateOf(dialog), (DialogState{"Page 3 of 3", true, false, 2}));
        EXPECT_EQ(dialog._searchResults->item(0, 0)->text(), "M3a");
        SearchFor(dialog, "Q");
        Click(dialog, "_previousPageButton");
        EXPECT_EQ(StateOf(dialog), (DialogState{"Page 2 of 3", true, true, 2}));
        return "cancelValueSelection";
    });
    EXPECT_TRUE(Logged("SearchableField::searchValues - about to perform search"));
    EXPECT_TRUE(Logged("SearchableField::windowWillClose - Search _window is closing.  Telling app to stop modal session."));
    std::vector<json> requests = SearchRequests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(requests[3], json::parse(R"({"FieldId":7,"PageNumber":3,"PageSize":50,"ParentValueId":0,"SearchFor":"Q"})"));
    EXPECT_EQ(requests[4].value("PageNumber", 0), 2);
}

// A value picked in the search results shows from its start, its code in
// view, however long its description.
TEST_F(SearchDialog, APickedValueShowsItsCode)
{
    mServer.SetResponder("PUT", "printapi/customfields/values/search", [](const StandIn::RecordedRequest& request) {
        return SearchAnswer(request, 1, {"M4471 " + std::string(80, 'x')});
    });
    SearchableField control(Row(), mMatters, *mService, false, &mWindow);
    WithDialog(control, [&](CustomFieldSearchWindow& dialog) {
        SearchFor(dialog, "M");
        dialog._searchResults->selectRow(0);
        return "_confirmSelectionButton";
    });
    QLineEdit* shown = control.findChild<QComboBox*>(QStringLiteral("_comboBox"))->lineEdit();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->text().startsWith(QStringLiteral("M4471"))) << shown->text().toStdString();
    EXPECT_EQ(shown->cursorPosition(), 0);
}

struct FailedSearch {
    const char* Name;
    std::function<void(StandIn::StandInServer&)> answer;
};

const FailedSearch FailedSearchesRows[] = {
    {"NoPages",
     [](StandIn::StandInServer& server) {
         server.SetResponder("PUT", "printapi/customfields/values/search",
                             [](const StandIn::RecordedRequest& request) { return SearchAnswer(request, 0, {}); });
     }},
    {"ServerError",
     [](StandIn::StandInServer& server) {
         server.SetAnswer("PUT", "printapi/customfields/values/search", Answer::Json(500, R"({"Message":"down"})"));
     }},
    {"NoAnswerInTime",
     [](StandIn::StandInServer& server) {
         server.SetAnswer("PUT", "printapi/customfields/values/search", Answer::Stalled());
     }},
};

class FailedSearches : public SearchDialog, public ::testing::WithParamInterface<FailedSearch> {};

// After pages of an earlier answer, a search without results shows page 0
// and nothing to page to; a server that does not answer ends the search at
// the web service's time limit.
TEST_P(FailedSearches, ShowPageZeroWithoutPaging)
{
    mService->SetTimeouts(1, 1, 1);
    mServer.SetResponder("PUT", "printapi/customfields/values/search", ThreePages());
    SearchableField control(Row(), mMatters, *mService, false, &mWindow);
    WithDialog(control, [&](CustomFieldSearchWindow& dialog) {
        SearchFor(dialog, "M");
        Click(dialog, "_nextPageButton");
        GetParam().answer(mServer);
        SearchFor(dialog, "M");
        EXPECT_EQ(StateOf(dialog), (DialogState{"Page 0 of 0", false, false, 0}));
        EXPECT_FALSE(dialog._confirmSelectionButton->isEnabled());
        mServer.ReleaseStalls();
        SearchFor(dialog, "M");
        return "cancelValueSelection";
    });
    EXPECT_EQ(SearchRequests().back().value("PageNumber", 0), 1);  // never page 0
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedSearches, ::testing::ValuesIn(FailedSearchesRows), TestSupport::CaseName());

struct TypedText {
    const char* Name;
    const char* typed;
    bool remembered;         // the user chose A101 before
    bool onlyResult;         // the server finds A102 alone
    size_t searches;
    bool dialog;             // the search dialog is shown, and its fourth row chosen
    uint64_t valueId;
};

const TypedText TypedTextsRows[] = {
    {"OnlyResultWithTheCodeIsChosenAtOnce", "a102", false, true, 1, false, 103},
    {"RememberedCodeNeedsNoSearch", "a101", true, false, 0, false, 102},
    {"SeveralResultsAreShownToChooseFrom", "A10", false, false, 1, true, 104},
};

class TypedTexts : public SearchDialog, public ::testing::WithParamInterface<TypedText> {};

TEST_P(TypedTexts, AreResolvedWhenTheJobIsSaved)
{
    const TypedText& test = GetParam();
    if (test.remembered)
        Remember(1, 0, {{"A101", 102}});
    if (test.onlyResult)
        mServer.SetResponder("PUT", "printapi/customfields/values/search", [](const StandIn::RecordedRequest& request) {
            json answer = json::parse(request.body);
            answer["PageCount"] = 1;
            answer["MatchingValues"] = {{{"FieldId", 1}, {"ValueId", 103}, {"Code", "A102"},
                                         {"Description", "Account 2"}, {"Modifier", json::object()}}};
            return Answer::Json(200, answer.dump());
        });
    CustomField field = AccountField();
    SearchableField control(Row(), field, *mService, false, &mWindow);
    QTest::keyClicks(control.findChild<QComboBox*>("_comboBox")->lineEdit(), test.typed);

    TestSupport::ModalAnswerer answerer([&](QWidget& window) -> QString {
        auto* dialog = qobject_cast<CustomFieldSearchWindow*>(&window);
        if (dialog == nullptr)
            return "OK_Button";
        dialog->_searchResults->selectRow(3);
        return "_confirmSelectionButton";
    });
    std::optional<CustomFieldValue> value = control.searchForUserEnteredValue();
    EXPECT_EQ(answerer.Answered(), test.dialog ? 1 : 0);
    EXPECT_EQ(SearchRequests().size(), test.searches);
    if (test.searches > 0) {
        EXPECT_EQ(SearchRequests().front().value("SearchFor", ""), test.typed);
    }
    ASSERT_TRUE(value);
    EXPECT_EQ(value->ValueId, test.valueId);
    EXPECT_EQ(ChosenId(control), test.valueId);
}

INSTANTIATE_TEST_SUITE_P(Cases, TypedTexts, ::testing::ValuesIn(TypedTextsRows), TestSupport::CaseName());

TEST_F(SearchDialog, AChildWaitsForItsParentAndSearchesUnderTheParentValue)
{
    CustomField accounts = AccountField();
    std::unique_ptr<CustomFieldControl> parent = Make(Kind::SearchableDropDown, accounts);
    CustomField projects = Field(2, "Project", {}, 1);
    SearchableField child(Row(50), projects, *mService, true, &mWindow);
    child.setParentControl(parent.get());
    for (const char* name : {"_comboBox", "_searchButton", "_addButton"})
        EXPECT_FALSE(child.findChild<QWidget*>(name)->isEnabled()) << name;

    ChooseInList(*parent->widget().findChild<QComboBox*>("_comboBox"), 0);
    for (const char* name : {"_comboBox", "_searchButton", "_addButton"})
        EXPECT_TRUE(child.findChild<QWidget*>(name)->isEnabled()) << name;
    WithDialog(child, [](CustomFieldSearchWindow& dialog) {
        SearchFor(dialog, "P");
        EXPECT_EQ(dialog._searchResults->rowCount(), 2);
        return "cancelValueSelection";
    });
    ASSERT_EQ(SearchRequests().size(), 1u);
    EXPECT_EQ(SearchRequests().front().value("ParentValueId", 0), 101);
    EXPECT_EQ(SearchRequests().front().value("FieldId", 0), 2);
}

// The alert goes on the window that holds the control: the search dialog
// was never opened.
TEST_F(SearchDialog, ARememberedValueThatHasGoneIsDroppedWithAnAlertOnTheControlsWindow)
{
    Remember(1, 0, {{"A102", 103}});
    CustomField field = AccountField();
    SearchableField control(Row(), field, *mService, false, &mWindow);
    std::erase_if(field.GetCurrentValuesList(), [](const CustomFieldValue& value) { return value.ValueId == 103; });

    QWidget* alertOwner = nullptr;
    TestSupport::ModalAnswerer answerer([&](QWidget& window) -> QString {
        alertOwner = window.parentWidget();
        EXPECT_EQ(window.windowModality(), Qt::WindowModal);
        return "OK_Button";
    });
    control.setSelectedIndex(0);
    EXPECT_FALSE(control.selectedCustomFieldValue());
    EXPECT_EQ(answerer.Answered(), 1);
    EXPECT_EQ(alertOwner, &mWindow);
    EXPECT_EQ(control.searchWindow(), nullptr);
    EXPECT_TRUE(RememberedCodes(1, 0).empty());
}

}  // namespace
}  // namespace ControlTests
