// The job pop-up in single-job mode, as the user works it: what it shows,
// how high it is, what Print writes into the job and what it refuses.
#include "Client/Popup/ElidingLabel.h"
#include "Client/Popup/PopupWindow.h"
#include "tests/Popup/PopupTestJobs.h"
#include "tests/Popup/PopupWindowTest.h"
#include "tests/Support/Gui/ModalScript.h"

#include "Platform/Qt/Alert.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using TestSupport::Click;
using TestSupport::ModalScript;
using TestSupport::Type;

const QString kPopup = QStringLiteral("PopupWindow");
const QString kAlert = QString::fromLatin1(Platform::Alert::ObjectName);

QString Text(const char* key)
{
    return Platform::LocalizedStrings::Text(QString::fromLatin1(key));
}

// What a label or cost box of the window shows; "(none)" when the window
// has no such control.
std::string Shown(const QWidget& window, const char* name)
{
    if (auto* label = window.findChild<QLabel*>(QString::fromLatin1(name)))
        return label->text().toStdString();
    if (auto* box = window.findChild<QLineEdit*>(QString::fromLatin1(name)))
        return box->text().toStdString();
    return "(none)";
}

// A step that checks the sheet's message and presses its OK button.
ModalScript::Step SheetSaying(QString message)
{
    return {kAlert, [message](QWidget& sheet) {
                EXPECT_EQ(static_cast<QMessageBox&>(sheet).text().toStdString(), message.toStdString());
                Click(sheet, QString::fromLatin1(Platform::Alert::OkButton));
            }};
}

ModalScript::Step PopupClicks(const char* button)
{
    return {kPopup, [button](QWidget& popup) { Click(popup, QString::fromLatin1(button)); }};
}

using PopupTest::PopupWindowTest;

TEST_F(PopupWindowTest, ReturnPrintsTheJobWithItsCostsAndSavesTheComment)
{
    bool printed = Show({{kPopup, [](QWidget& popup) {
                              // The comment, its first input, has the focus; Return there is Print.
                              EXPECT_EQ(popup.focusWidget(), popup.findChild<QWidget*>(QStringLiteral("comments")));
                              Type(popup, QStringLiteral("comments"), QStringLiteral("For the board"));
                              QTest::keyClick(popup.focusWidget(), Qt::Key_Return);
                          }}});
    EXPECT_TRUE(printed);
    EXPECT_EQ(mJob.Comments, "For the board");
    EXPECT_FALSE(mJob.Options.DelayedJob);
    EXPECT_EQ(mPopup.windowTitle(), Text("Client_New_Job_Popup_Title").arg(QStringLiteral("Quorvel")));
    EXPECT_EQ(Shown(mPopup, "printer"), "Front Desk");
    EXPECT_EQ(Shown(mPopup, "document"), "Quarterly report.pdf");
    EXPECT_EQ(Shown(mPopup, "user"), "Alex Morgan");
    EXPECT_EQ(Shown(mPopup, "userBalance"), "$12.50");
    EXPECT_EQ(Shown(mPopup, "pageCounts"), "8 B&W, 2 colour");
    EXPECT_EQ(Shown(mPopup, "totalUnits"), "10 pages");
    EXPECT_EQ(Shown(mPopup, "bwUnitCost"), "$0.10");
    EXPECT_EQ(Shown(mPopup, "colorUnitCost"), "$0.50");
    EXPECT_EQ(Shown(mPopup, "addedCosts"), "$0.00");
    EXPECT_EQ(Shown(mPopup, "totalCost"), "$1.80");
}

// A job that pops up before its pages are known shows no pages, units or
// job cost; the window keeps the height of its rows.
TEST_F(PopupWindowTest, PrinterPopEarlyShowsNoPagesUnitsOrJobCost)
{
    mJob.PrinterPopEarly = true;
    EXPECT_TRUE(Show({PopupClicks("allowPrintJob")}));
    for (const char* name : {"pageCounts", "totalUnits", "totalCost", "Client_Popup_Label_Job_Cost"})
        EXPECT_EQ(Shown(mPopup, name), "(none)") << name;
    EXPECT_EQ(Shown(mPopup, "bwUnitCost"), "$0.10");
    EXPECT_EQ(mPopup.height(), PopupWindow::BaseHeight + PopupWindow::CostRowsHeight + PopupWindow::CommentRowHeight);
}

TEST_F(PopupWindowTest, TheBalanceShownFollowsTheKindOfBalance)
{
    struct Case {
        int32_t type;
        std::string shown;
    } cases[] = {
        {CVClientData::User::NoBalance, "(none)"},
        {CVClientData::User::CostBalance, "$40.00"},
        {CVClientData::User::PageBalance, "40 pages"},
        {CVClientData::User::BWPageBalance, "40 B&W pages"},
        {CVClientData::User::ColorPageBalance, "3 colour pages"},
        {CVClientData::User::BothPageBalances, "40 B&W pages\n3 colour pages"},
    };
    for (const Case& test : cases) {
        ClientJob job = PopupTest::TypicalJob();
        job.GetUser().Type = test.type;
        job.GetUser().BWBalanceRemaining = 40;
        job.GetUser().ColorBalanceRemaining = 3;
        PopupWindow popup;
        ModalScript script({PopupClicks("cancelPrintJob")});
        popup.showForJob(&job, &mServer, &mSettings, nullptr);
        EXPECT_EQ(Shown(popup, "userBalance"), test.shown) << "balance type " << test.type;
        // Every part of it can be read.
        if (auto* balance = popup.findChild<ElidingLabel*>(QStringLiteral("userBalance"))) {
            EXPECT_FALSE(balance->isElided()) << "balance type " << test.type;
        }
    }
}

// A text too long for its place is cut with "…" and shown whole in its
// tooltip; a text that fits is shown as it is, without a tooltip.
TEST_F(PopupWindowTest, LongTextsAreElidedAndShownWholeInTheirTooltips)
{
    std::string longDocument;
    while (longDocument.size() < 200)
        longDocument += "Minutes of the quarterly budget review ";
    longDocument.resize(200);
    mJob.DocumentName = longDocument;
    mJob.GetUser().DisplayName = "Alexandra Montgomery-Fitzwilliam";
    Show({PopupClicks("cancelPrintJob")});
    struct Case {
        const char* label;
        std::string text;
        bool elided;
    } cases[] = {{"document", longDocument, true}, {"user", mJob.GetUser().DisplayName, true},
                 {"printer", "Front Desk", false}};
    for (const Case& test : cases) {
        auto* label = mPopup.findChild<ElidingLabel*>(QString::fromLatin1(test.label));
        ASSERT_NE(label, nullptr) << test.label;
        EXPECT_EQ(label->text().toStdString(), test.text) << test.label;
        EXPECT_EQ(label->isElided(), test.elided) << test.label;
        EXPECT_EQ(label->shownText().endsWith(QChar(0x2026)), test.elided) << test.label;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->shownText()), label->contentsRect().width())
            << test.label;
        EXPECT_EQ(label->toolTip().toStdString(), test.elided ? test.text : "") << test.label;
    }
}

// The window is as high as the rows it holds, counting custom fields whose
// rows are left out for want of values; each field with a row gets the
// control its type asks for.
TEST_F(PopupWindowTest, TheWindowIsAsHighAsItsRows)
{
    using PopupTest::Field;
    using PopupTest::Value;
    using Values = std::vector<CVClientData::CustomFieldValue>;
    using Fields = std::vector<std::pair<CVClientData::CustomField, Values>>;
    using Controls = std::vector<std::string>;
    struct Case {
        const char* what;
        bool costs, overrides, comments;
        Fields fields;
        int height;
        Controls controls;  // top row first
    } cases[] = {
        {"nothing but the job", false, false, false, {}, 214, {}},
        {"costs", true, false, false, {}, 260, {}},
        {"costs the user may change", true, true, false, {}, 265, {}},
        {"a comment", false, false, true, {}, 273, {}},
        {"everything", true, true, true, {}, 324, {}},
        {"a drop-down and a free text", false, false, false, {{Field(1, "Project", 0), {}}, {Field(2, "Note", 3), {}}},
         270, {"SearchableDropDown", "NonValidatedField"}},
        {"a list without values and options with one", false, false, false,
         {{Field(1, "Account", 1), {}}, {Field(2, "Colour", 2), {Value(2, 5, "A")}}}, 288, {}},
        {"a list with a value and two options", false, false, false,
         {{Field(1, "Account", 1), {Value(1, 4, "X")}}, {Field(2, "Colour", 2), {Value(2, 5, "A"), Value(2, 6, "B")}}},
         288, {"SimpleDropDown", "OptionField"}},
        {"a searchable field and one that depends on it", false, false, false,
         {{Field(5, "Matter", 4), {}}, {Field(6, "Task", 4, 5), {}}}, 270, {"SearchableField", "SearchableDropDown"}},
        {"a field of no known type", false, false, false, {{Field(3, "Other", 9), {}}}, 214, {}},
    };
    for (const Case& test : cases) {
        ClientJob job = PopupTest::TypicalJob();
        job.GetUser().ShowCosts = test.costs;
        job.GetUser().AllowCostOverride = test.overrides;
        job.GetUser().ShowComments = test.comments;
        PopupTest::FieldServer server;
        for (const auto& [field, values] : test.fields)
            server.Define(job, field, values);
        PopupWindow popup;
        ModalScript script({PopupClicks("cancelPrintJob")});
        popup.showForJob(&job, &server, &mSettings, nullptr);
        EXPECT_EQ(popup.height(), test.height) << test.what;
        EXPECT_EQ(popup.width(), PopupWindow::ContentWidth) << test.what;
        EXPECT_EQ(PopupTest::ControlKinds(popup), test.controls) << test.what;
    }
}

// An override goes into the job only when the box's text changed; the
// first unit cost overridden keeps the other one at the cost shown. The job's
// cost shown follows the edit as soon as the user leaves the box.
TEST_F(PopupWindowTest, CostOverridesAreWrittenOnlyWhenTheTextChanged)
{
    struct Case {
        const char* box;
        const char* typed;
        bool unitOverride;
        double bw, color;
        bool addedOverride;
        double added;
        const char* total;
    } cases[] = {
        {"bwUnitCost", "0.100", false, 0.0, 0.0, false, 0.0, "$1.800"},
        {"bwUnitCost", "0.050", true, 0.05, 0.5, false, 0.0, "$1.400"},
        {"colorUnitCost", "0.250", true, 0.1, 0.25, false, 0.0, "$1.300"},
        {"addedCosts", "1.500", false, 0.0, 0.0, true, 1.5, "$3.300"},
    };
    mSettings.NumberDecimalPlaces = 3;
    for (const Case& test : cases) {
        ClientJob job = PopupTest::TypicalJob();
        job.GetUser().AllowCostOverride = true;
        PopupWindow popup;
        std::string totalAfterEdit;
        ModalScript script({{kPopup, [&test, &totalAfterEdit](QWidget& window) {
                                 auto* box = window.findChild<QLineEdit*>(QString::fromLatin1(test.box));
                                 ASSERT_NE(box, nullptr);
                                 box->setFocus();
                                 Type(window, QString::fromLatin1(test.box), QString::fromLatin1(test.typed));
                                 QTest::keyClick(box, Qt::Key_Tab);
                                 totalAfterEdit = Shown(window, "totalCost");
                                 Click(window, QStringLiteral("allowPrintJob"));
                             }}});
        EXPECT_TRUE(popup.showForJob(&job, &mServer, &mSettings, nullptr)) << test.box << " " << test.typed;
        EXPECT_EQ(totalAfterEdit, test.total) << test.box << " " << test.typed;
        const CVClientData::JobCosting& costing = job.Costing;
        EXPECT_EQ(costing.OverrodeCostPerUnit, test.unitOverride) << test.box << " " << test.typed;
        EXPECT_DOUBLE_EQ(costing.OverriddenBWUnitCost, test.bw) << test.box << " " << test.typed;
        EXPECT_DOUBLE_EQ(costing.OverriddenColorUnitCost, test.color) << test.box << " " << test.typed;
        EXPECT_EQ(costing.OverrodeAddedCosts, test.addedOverride) << test.box << " " << test.typed;
        EXPECT_DOUBLE_EQ(costing.OverriddenAddedCosts, test.added) << test.box << " " << test.typed;
    }
}

// Each refusal is a sheet on the window, which stays until Cancel.
TEST_F(PopupWindowTest, PrintIsRefusedWithASheetUntilTheEntriesAreValid)
{
    struct Case {
        const char* what;
        std::function<void(ClientJob&, PopupTest::FieldServer&)> prepare;
        ModalScript::Action edit;
        QString message;
    } cases[] = {
        {"a cost that is not a number",
         [](ClientJob& job, PopupTest::FieldServer&) { job.GetUser().AllowCostOverride = true; },
         [](QWidget& popup) { Type(popup, QStringLiteral("bwUnitCost"), QStringLiteral("abc")); },
         Text("Client_Popup_BW_Unit_Cost_Error_Invalid_Value_Message")},
        {"a negative cost",
         [](ClientJob& job, PopupTest::FieldServer&) { job.GetUser().AllowCostOverride = true; },
         [](QWidget& popup) { Type(popup, QStringLiteral("addedCosts"), QStringLiteral("-1")); },
         Text("Client_Popup_Added_Cost_Error_Invalid_Value_Message")},
        {"a job beyond the balance",
         [](ClientJob& job, PopupTest::FieldServer&) { job.GetUser().BWBalanceRemaining = 1.75; }, nullptr,
         Text("Client_Popup_Error_Job_Exceeds_Balance_Message")},
        {"a custom field without a value",
         [](ClientJob& job, PopupTest::FieldServer& server) { server.Define(job, PopupTest::Field(4, "Project", 3)); },
         nullptr, Text("Client_Popup_Custom_Field_Error_None_Selected_Message").arg(QStringLiteral("Project"))},
    };
    for (const Case& test : cases) {
        ClientJob job = PopupTest::TypicalJob();
        PopupTest::FieldServer server;
        test.prepare(job, server);
        const ClientJob before = job;
        PopupWindow popup;
        ModalScript script({{kPopup,
                             [&test](QWidget& window) {
                                 if (test.edit)
                                     test.edit(window);
                                 Click(window, QStringLiteral("allowPrintJob"));
                             }},
                            SheetSaying(test.message), PopupClicks("cancelPrintJob")});
        EXPECT_FALSE(popup.showForJob(&job, &server, &mSettings, nullptr)) << test.what;
        EXPECT_EQ(script.Taken(), 3u) << test.what;
        EXPECT_FALSE(job.Costing.OverrodeCostPerUnit || job.Costing.OverrodeAddedCosts) << test.what;
        EXPECT_EQ(job.Comments, before.Comments) << test.what;
    }
}

// Snooze answers yes with the job held back; Cancel and closing answer no.
TEST_F(PopupWindowTest, SnoozeCancelAndClosingAnswerAsTheUserChose)
{
    struct Case {
        const char* what;
        ModalScript::Action act;
        bool answer;
        bool delayed;
    } cases[] = {
        {"Snooze", [](QWidget& popup) { Click(popup, QStringLiteral("snoozePrintJob")); }, true, true},
        {"Cancel", [](QWidget& popup) { Click(popup, QStringLiteral("cancelPrintJob")); }, false, false},
        {"closing", [](QWidget& popup) { popup.close(); }, false, false},
    };
    for (const Case& test : cases) {
        ClientJob job = PopupTest::TypicalJob();
        job.GetUser().AllowSnooze = true;
        PopupWindow popup;
        ModalScript script({{kPopup, test.act}});
        EXPECT_EQ(popup.showForJob(&job, &mServer, &mSettings, nullptr), test.answer) << test.what;
        EXPECT_EQ(job.Options.DelayedJob, test.delayed) << test.what;
        EXPECT_EQ(job.Comments, PopupTest::TypicalJob().Comments) << test.what;
    }
}

// Snooze is offered only to users who may snooze and who are identified
// automatically; Batch only for a manual batch.
TEST_F(PopupWindowTest, SnoozeAndBatchAreOfferedAsTheUserAndSettingsAllow)
{
    struct Case {
        bool allowSnooze;
        int32_t authentication;
        int32_t batchMode;
        bool snooze, batch;
    } cases[] = {
        {true, 0, 1, true, true},
        {true, 2, 0, false, false},
        {false, 0, 2, false, false},
    };
    for (const Case& test : cases) {
        ClientJob job = PopupTest::TypicalJob();
        job.GetUser().AllowSnooze = test.allowSnooze;
        job.GetUser().BatchMode = test.batchMode;
        mSettings.AuthenticationType = test.authentication;
        PopupWindow popup;
        ModalScript script({PopupClicks("cancelPrintJob")});
        popup.showForJob(&job, &mServer, &mSettings, nullptr);
        EXPECT_EQ(popup.findChild<QWidget*>(QStringLiteral("snoozePrintJob")) != nullptr, test.snooze);
        EXPECT_EQ(popup.findChild<QWidget*>(QStringLiteral("setManualBatch")) != nullptr, test.batch);
    }
}

// Without a job the window still comes up, shows nothing and refuses Print.
TEST_F(PopupWindowTest, AWindowWithoutAJobRefusesPrint)
{
    ModalScript script({PopupClicks("allowPrintJob"), SheetSaying(Text("Client_Popup_Pending_Job_Error_None_Selected")),
                        PopupClicks("cancelPrintJob")});
    EXPECT_FALSE(mPopup.showForJob(nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(Shown(mPopup, "user"), "");
    EXPECT_EQ(mPopup.height(), PopupWindow::BaseHeight);
}

// Cost boxes read and show numbers in the user's locale, with the decimal
// places the settings give (2 to 4, else 3), and refuse anything but a
// number of zero or more.
TEST(PopupFormatsTest, CostBoxesReadAndShowNumbersInTheUsersLocale)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    struct Case {
        uint64_t decimals;
        QLocale locale;
        double shown;
        const char* text;
        const char* typed;
        std::optional<double> read;
    } cases[] = {
        {2, english, 1234.5, "1234.50", "0.05", 0.05},
        {4, english, 0.1, "0.1000", "1,234.5", 1234.5},
        {0, english, 0.1, "0.100", "abc", std::nullopt},
        {7, english, 0.1, "0.100", "-0.01", std::nullopt},
        {3, german, 0.25, "0,250", "0,05", 0.05},
        {3, german, 0.25, "0,250", "", std::nullopt},
        // The example the error gives, and the decimal point other programs write.
        {2, german, 0.25, "0,25", "0.25", 0.25},
    };
    for (const Case& test : cases) {
        PopupFormats formats(test.decimals, test.locale);
        EXPECT_EQ(formats.costBoxText(test.shown).toStdString(), test.text) << test.decimals;
        EXPECT_EQ(formats.costBoxValue(QString::fromLatin1(test.typed)), test.read) << test.typed;
    }
    EXPECT_EQ(PopupFormats(2, english).currency(1234.5).toStdString(), "$1,234.50");
    for (const QLocale& locale : {english, german}) {
        PopupFormats formats(4, locale);
        EXPECT_EQ(formats.costBoxValue(formats.costBoxExample()), 0.25) << formats.costBoxExample().toStdString();
    }
    EXPECT_EQ(PopupFormats(4, german).costBoxExample().toStdString(), "0,25");
    // Dates: medium date and short time, in local time.
    const QDateTime printed(QDate(2024, 3, 14), QTime(9, 30, 15), Qt::UTC);
    EXPECT_EQ(PopupFormats(2, english).dateTime(printed),
              english.toString(printed.toLocalTime(), QStringLiteral("MMM d, yyyy h:mm AP")));
}

}  // namespace
