// Custom fields in the job pop-up as the user works them: a field that
// depends on another against the loopback stand-in server, from the choice
// to the job the server receives, and the values remembered from the last
// job.
#include "Client/Popup/PopupWindow.h"
#include "Core/CVModels/ProcessJobResult.h"
#include "Platform/Qt/Alert.h"
#include "tests/Popup/PopupTestJobs.h"
#include "tests/Support/Gui/ModalScript.h"
#include "tests/Support/Gui/RememberedValues.h"
#include "tests/WebService/WebServiceFixture.h"

#include <QComboBox>
#include <QTest>
#include <QStringList>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using PopupTest::ControlOf;
using PopupTest::Field;
using TestSupport::ChooseInList;
using TestSupport::Click;
using TestSupport::ModalScript;

const QString kPopup = QStringLiteral("PopupWindow");

QComboBox* BoxOf(CustomFieldControl* control)
{
    return control == nullptr ? nullptr : control->widget().findChild<QComboBox*>(QStringLiteral("_comboBox"));
}

QStringList Items(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items.push_back(box.itemText(i));
    return items;
}

// The custom-field values of a job as the server received it: value id and
// code by field id, and the parent value ids.
struct ReceivedValue {
    uint64_t valueId = 0;
    std::string code;
    uint64_t parentValueId = 0;
    bool operator==(const ReceivedValue&) const = default;
};

std::map<uint64_t, ReceivedValue> ReceivedValues(const std::string& body)
{
    std::map<uint64_t, ReceivedValue> values;
    nlohmann::json job = nlohmann::json::parse(body, nullptr, false);
    for (const nlohmann::json& value : job.value("CustomValues", nlohmann::json::array()))
        values[value.value("FieldId", 0ull)] = {value.value("ValueId", 0ull), value.value("Code", std::string()),
                                                value.value("ParentValueId", 0ull)};
    return values;
}

// The stand-in's fields: "Account" (A100 to A104, ids 101 to 105) and
// "Project" under it (P200 and P201, ids 201 and 202, under A100), both
// drop-downs listing their values.
class CustomFieldPopupTest : public WebServiceTests::WebServiceTest {
protected:
    void SetUp() override
    {
        WebServiceTest::SetUp();
        mServer.SetAnswer("GET", "printapi/customfields",
                          StandIn::Answer::Json(200, R"([{"Id":1,"ParentId":0,"ChildId":2,"Name":"Account","Type":0},
                                                        {"Id":2,"ParentId":1,"ChildId":0,"Name":"Project","Type":0}])"));
        mJob.Options.CustomField = {Field(1, "Account", 0), Field(2, "Project", 0, 1)};
        // The job's user is logged in before the pop-up, as the core does.
        Grant();
    }

    CVClientData::ClientSettings mSettings = PopupTest::TypicalSettings();
    ClientJob mJob = PopupTest::TypicalJob();
    PopupWindow mPopup;
};

// The project list waits for an account; choosing one loads its projects
// from the server. Print puts both values into the job, the server gets them
// with the job, and the choices are remembered under their parent value.
TEST_F(CustomFieldPopupTest, AParentAndItsDependentFieldChosenInThePopupReachTheServerWithTheJob)
{
    QStringList projectsBefore;
    QStringList projectsAfter;
    bool projectEnabledBefore = true;
    ModalScript script({{kPopup, [&](QWidget& window) {
                             QComboBox* account = BoxOf(ControlOf(window, "Account"));
                             QComboBox* project = BoxOf(ControlOf(window, "Project"));
                             if (account == nullptr || project == nullptr) {
                                 ADD_FAILURE() << "no custom-field rows";
                                 Click(window, QStringLiteral("cancelPrintJob"));
                                 return;
                             }
                             projectEnabledBefore = project->isEnabled();
                             projectsBefore = Items(*project);
                             ChooseInList(*account, 0);  // A100 - Account 0
                             projectsAfter = Items(*project);
                             EXPECT_TRUE(project->isEnabled());
                             ChooseInList(*project, 1);  // P201 - Project one
                             Click(window, QStringLiteral("allowPrintJob"));
                         }}});
    ASSERT_TRUE(mPopup.showForJob(&mJob, mService.get(), &mSettings, nullptr));
    EXPECT_FALSE(projectEnabledBefore);
    EXPECT_EQ(projectsBefore, QStringList());
    EXPECT_EQ(projectsAfter, (QStringList{"P200 - Project zero", "P201 - Project one"}));

    CVClientData::ProcessJobResult result;
    ASSERT_TRUE(mService->ProcessJob(mJob, CVJobProcessingStagePopup, CVJobProcessingStageFinal, result));
    const std::vector<StandIn::RecordedRequest> sent = mServer.RequestsTo("PUT", "printapi/rules/process");
    ASSERT_EQ(sent.size(), 1u);
    const std::map<uint64_t, ReceivedValue> expected{{1, {101, "A100", 0}}, {2, {202, "P201", 101}}};
    EXPECT_EQ(ReceivedValues(sent.front().body), expected);

    EXPECT_EQ(TestSupport::RememberedCodes(1, 0), std::vector<std::string>{"A100"});
    EXPECT_EQ(TestSupport::RememberedCodes(2, 101), std::vector<std::string>{"P201"});
}

// With "UseLastEntries" every kind of control opens on what the user chose
// last for its field, and Print takes those values; without it nothing is
// chosen, and Print is refused for the first field.
TEST(CustomFieldLastEntriesTest, EveryControlOpensOnTheValueChosenLastWhenTheUserAsks)
{
    using PopupTest::Value;
    TestSupport::TempRoot root;
    TestSupport::Remember(1, 0, {{"A102", 103}, {"A100", 101}});
    TestSupport::RememberLastEntry(3, 302);
    TestSupport::RememberLastEntry(4, 402);
    TestSupport::Remember(5, 0, {{"PO-4471", -1}});
    const std::map<uint64_t, std::string> remembered{{1, "A102"}, {3, "CC20"}, {4, "F"}, {5, "PO-4471"}};
    for (bool useLastEntries : {true, false}) {
        SCOPED_TRACE(useLastEntries);
        ClientJob job = PopupTest::TypicalJob();
        job.GetUser().UseLastEntries = useLastEntries;
        PopupTest::FieldServer server;
        server.Define(job, Field(1, "Account", 0), {Value(1, 101, "A100"), Value(1, 103, "A102")});
        server.Define(job, Field(3, "Cost centre", 1), {Value(3, 301, "CC10"), Value(3, 302, "CC20")});
        server.Define(job, Field(4, "Finish", 2), {Value(4, 401, "D"), Value(4, 402, "F")});
        server.Define(job, Field(5, "Reference", 3));
        const CVClientData::ClientSettings settings = PopupTest::TypicalSettings();
        std::map<uint64_t, std::string> shown;
        auto readAndPrint = [&shown](QWidget& window) {
            for (const char* name : {"Account", "Cost centre", "Finish", "Reference"}) {
                CustomFieldControl* control = ControlOf(window, name);
                std::optional<CVClientData::CustomFieldValue> value =
                    control != nullptr ? control->selectedCustomFieldValue() : std::nullopt;
                if (value)
                    shown[value->FieldId] = value->Code;
            }
            Click(window, QStringLiteral("allowPrintJob"));
        };
        std::vector<ModalScript::Step> steps{{kPopup, readAndPrint}};
        if (!useLastEntries) {
            steps.push_back({QString::fromLatin1(Platform::Alert::ObjectName), [](QWidget& sheet) {
                                 Click(sheet, QString::fromLatin1(Platform::Alert::OkButton));
                             }});
            steps.push_back({kPopup, [](QWidget& window) { Click(window, QStringLiteral("cancelPrintJob")); }});
        }
        ModalScript script(std::move(steps));
        PopupWindow popup;
        EXPECT_EQ(popup.showForJob(&job, &server, &settings, nullptr), useLastEntries);
        EXPECT_EQ(script.Taken(), useLastEntries ? 1u : 3u);
        if (!useLastEntries) {
            EXPECT_TRUE(shown.empty());
            EXPECT_TRUE(job.CustomValues.empty());
            continue;
        }
        EXPECT_EQ(shown, remembered);
        std::map<uint64_t, std::string> saved;
        for (const CVClientData::CustomFieldValue& value : job.CustomValues)
            saved[value.FieldId] = value.Code;
        EXPECT_EQ(saved, remembered);
    }
}

// What has the keyboard focus, named as a person sees it: a custom field's
// control by its field's name (its add and search buttons with "+" and
// "search"), any other input
// by its object name.
std::string FocusName(QWidget& window)
{
    QWidget* focus = window.focusWidget();
    if (focus == nullptr)
        return "(none)";
    for (QWidget* widget = focus; widget != nullptr && widget != &window; widget = widget->parentWidget())
        if (auto* control = dynamic_cast<CustomFieldControl*>(widget))
            return control->fieldName() + (focus->objectName() == QStringLiteral("_addButton")      ? " +"
                                           : focus->objectName() == QStringLiteral("_searchButton") ? " search"
                                                                                                    : "");
    return focus->objectName().toStdString();
}

// Tab goes through the pop-up from top to bottom and left to right, every
// kind of custom field in its row, the buttons last; Shift+Tab goes back.
TEST(CustomFieldKeyboardTest, TabGoesTopToBottomLeftToRightWithTheButtonsLast)
{
    using PopupTest::Value;
    TestSupport::TempRoot root;
    ClientJob job = PopupTest::TypicalJob();
    job.GetUser().UserCanAddCodes = true;
    job.GetUser().AllowCostOverride = true;
    job.GetUser().AllowSnooze = true;
    PopupTest::FieldServer server;
    server.Define(job, Field(1, "Account", 0), {Value(1, 101, "A100")});
    server.Define(job, Field(2, "Billable", 2), {Value(2, 201, "Yes"), Value(2, 202, "No")});
    server.Define(job, Field(3, "Cost centre", 1), {Value(3, 301, "CC10")});
    server.Define(job, Field(4, "Reference", 3));
    server.Define(job, Field(5, "Project", 4), {Value(5, 501, "P1")});
    const CVClientData::ClientSettings settings = PopupTest::TypicalSettings();
    const std::vector<std::string> expected{
        "Account",    "Account +",  "Billable",      "Cost centre", "Reference",      "Project",
        "Project search", "Project +",  "comments",   "bwUnitCost",    "colorUnitCost", "addedCosts",   "snoozePrintJob",
        "cancelPrintJob", "allowPrintJob"};
    std::vector<std::string> forward;
    std::vector<std::string> backward;
    ModalScript script({{kPopup, [&](QWidget& window) {
                             for (size_t i = 0; i < expected.size(); ++i) {
                                 forward.push_back(FocusName(window));
                                 QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
                             }
                             forward.push_back(FocusName(window));  // round to the top again
                             for (size_t i = 0; i < expected.size(); ++i) {
                                 QTest::keyClick(window.focusWidget(), Qt::Key_Backtab);
                                 backward.push_back(FocusName(window));
                             }
                             // Return in a field is Print, as everywhere in the window: Print
                             // refuses the empty account with its sheet.
                             QTest::keyClick(window.focusWidget(), Qt::Key_Return);
                         }},
                        {QString::fromLatin1(Platform::Alert::ObjectName),
                         [](QWidget& sheet) { Click(sheet, QString::fromLatin1(Platform::Alert::OkButton)); }},
                        {kPopup, [](QWidget& window) { Click(window, QStringLiteral("cancelPrintJob")); }}});
    PopupWindow popup;
    EXPECT_FALSE(popup.showForJob(&job, &server, &settings, nullptr));
    EXPECT_EQ(script.Taken(), 3u);
    std::vector<std::string> cycle = expected;
    cycle.push_back(expected.front());
    EXPECT_EQ(forward, cycle);
    EXPECT_EQ(backward, std::vector<std::string>(expected.rbegin(), expected.rend()));
}

}  // namespace
