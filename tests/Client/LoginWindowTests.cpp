// The login and balance windows as a person uses them, against the stand-in
// server with the real user service: the PIN window in its two modes, its
// refusals and the password reset, the network login and the balance texts.
#include "Client/Login/NetworkLoginController.h"
#include "Client/Login/PinCodeWindowController.h"
#include "Client/Login/UserBalanceWindowController.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/User.h"
#include "Platform/Qt/Alert.h"
#include "Platform/Qt/LocalizedStrings.h"
#include "tests/StandInServer/DefaultAnswers.h"
#include "tests/Support/Gui/ModalAnswerer.h"
#include "tests/Support/Gui/WidgetPicture.h"
#include "tests/WebService/WebServiceFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <mutex>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Texts of the windows in failure messages.
static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

using CVClientData::ClientSettings;
using CVClientData::User;
using CVCoreDataServices::AuthenticatedOperationType;
using Platform::LocalizedStrings;
using StandIn::Answer;
using StandIn::RecordedRequest;

constexpr auto kPrint = CVCoreDataServices::AuthenticatedOperationPrintJob;
constexpr auto kBalance = CVCoreDataServices::AuthenticatedOperationBalanceCheck;
const QString kAlert = QString::fromLatin1(Platform::Alert::ObjectName);
const QString kOk = QString::fromLatin1(Platform::Alert::OkButton);
const QString kLogin = QStringLiteral("_window");
const QString kSheet = QStringLiteral("_resetPasswordSheet");

// What the test does in the next window that comes up: the window it
// expects, what it checks there, what it types into which field, and the
// control it clicks.
struct Step {
    QString window;
    std::vector<std::pair<QString, QString>> typing;
    QString click;
    std::function<void(QWidget&)> check = nullptr;
};

// A window as it came up, with its texts when it is an alert.
struct Shown {
    QString window;
    QString text;
    QString informative;
    QString over;  // the object name of the window it is a sheet on
};

// Runs the steps in turn on the modal windows as they come up and records
// each window. A window beyond the steps, or another than the step expects,
// fails the test and is closed, so that no test waits for an answer.
class ScriptedWindows {
public:
    explicit ScriptedWindows(std::vector<Step> steps)
        : mSteps(std::move(steps)), mAnswerer([this](QWidget& window) { return mNext(window); }, kMostWindows)
    {
    }

    const std::vector<Shown>& Seen() const { return mSeen; }
    // The alerts that came up.
    std::vector<Shown> Alerts() const
    {
        std::vector<Shown> alerts;
        for (const Shown& shown : mSeen)
            if (shown.window == kAlert)
                alerts.push_back(shown);
        return alerts;
    }
    bool AllStepsTaken() const { return mintNext == mSteps.size(); }

private:
    static constexpr int kMostWindows = 30;

    QString mNext(QWidget& window)
    {
        Shown shown{window.objectName(), {}, {}, {}};
        if (auto* box = qobject_cast<QMessageBox*>(&window)) {
            shown.text = box->text();
            shown.informative = box->informativeText();
        }
        if (window.parentWidget() != nullptr && window.parentWidget()->isVisible())
            shown.over = window.parentWidget()->objectName();
        mSeen.push_back(shown);
        if (mintNext >= mSteps.size()) {
            ADD_FAILURE() << "a window beyond the script: " << shown.window.toStdString() << " "
                          << shown.text.toStdString();
            return QStringLiteral("no such control");
        }
        const Step& step = mSteps[mintNext++];
        EXPECT_EQ(shown.window, step.window) << "step " << mintNext;
        if (step.check)
            step.check(window);
        for (const auto& [field, text] : step.typing) {
            auto* edit = window.findChild<QLineEdit*>(field);
            EXPECT_NE(edit, nullptr) << field.toStdString();
            if (edit != nullptr)
                QTest::keyClicks(edit, text);
        }
        return step.click;
    }

    std::vector<Step> mSteps;
    size_t mintNext = 0;
    std::vector<Shown> mSeen;
    TestSupport::ModalAnswerer mAnswerer;
};

QLineEdit* Field(QWidget& window, const char* name)
{
    return window.findChild<QLineEdit*>(QString::fromLatin1(name));
}

QString LabelText(QWidget& window, const char* name)
{
    auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
    return label == nullptr ? QStringLiteral("(no label)") : label->text();
}

// The stand-in knows a few credentials: PIN 1234 alone, identifier jdoe
// with the password "0ld-secret", and the network user bob (with or without
// the domain CORP) with "right". A password reset takes effect on the stand-in unless
// the test says otherwise.
class LoginWindowTest : public WebServiceTests::WebServiceTest {
protected:
    void SetUp() override
    {
        WebServiceTest::SetUp();
        mSettings.PINLabel = "PIN";
        mSettings.PINPasswordLabel = "Password";
        mServer.SetResponder("POST", "token", [this](const RecordedRequest& request) {
            std::lock_guard lock(mLock);
            auto known = mPasswords.find(request.FormValue("username"));
            if (known != mPasswords.end() && known->second == request.FormValue("password"))
                return StandIn::GrantToken(request);
            return Answer::Json(400, R"({"error":"invalid_grant","error_description":"Not valid."})");
        });
        mServer.SetResponder("POST", "printapi/users/setpinpassword",
                             StandIn::WithToken([this](const RecordedRequest& request) {
                                 std::lock_guard lock(mLock);
                                 if (mblnResetTakesEffect) {
                                     auto body = nlohmann::json::parse(request.body, nullptr, false);
                                     mPasswords[StandIn::UserOfToken(StandIn::BearerToken(request))] =
                                         body.value("newPassword", std::string());
                                 }
                                 return Answer::Json(200, "true");
                             }));
    }

    // The stand-in goes first: its responders use the members below.
    void TearDown() override { mServer.Stop(); }

    bool PromptForPin(int authenticationType, AuthenticatedOperationType operation)
    {
        mSettings.AuthenticationType = authenticationType;
        PinCodeWindowController controller(mUser, mSettings, *mService);
        return controller.promptForPinCode(operation);
    }

    bool PromptForNetworkLogin(int authenticationType, AuthenticatedOperationType operation)
    {
        mSettings.AuthenticationType = authenticationType;
        NetworkLoginController controller(mUser, mSettings, *mService);
        return controller.promptForLogin(operation);
    }

    // The credentials of the last grant asked for.
    std::pair<std::string, std::string> LastGrant() const
    {
        std::vector<RecordedRequest> grants = mServer.RequestsTo("POST", "token");
        if (grants.empty())
            return {};
        return {grants.back().FormValue("username"), grants.back().FormValue("password")};
    }

    std::mutex mLock;
    std::map<std::string, std::string> mPasswords{
        {"1234", ""}, {"jdoe", "0ld-secret"}, {"bob", "right"}, {"CORP\\bob", "right"}};
    bool mblnResetTakesEffect = true;
    ClientSettings mSettings;
    User mUser;
};

// PIN mode shows one secure field under the PIN's label and sends the PIN
// with an empty password; the two-field mode shows the identifier, the
// password and the reset button. Accepted credentials answer yes with the
// server's user and its token in the record; nothing typed is logged.
TEST_F(LoginWindowTest, EachModeShowsItsFieldsAndLogsInWithThem)
{
    struct Case {
        int type;
        std::vector<std::pair<QString, QString>> typing;
        bool twoFields;
        QString secureLabel;
        std::string login;
        std::string password;
        const char* picture;
    };
    const std::vector<Case> cases = {
        {2, {{"_secureField", "1234"}}, false, "PIN:", "1234", "", "pin-window-pin"},
        {3, {{"_unsecureField", "jdoe"}, {"_secureField", "0ld-secret"}}, true, "Password:", "jdoe", "0ld-secret",
         "pin-window-password"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.type);
        mUser = User();
        auto check = [&row](QWidget& window) {
            EXPECT_EQ(Field(window, "_unsecureField")->isVisible(), row.twoFields);
            EXPECT_EQ(window.findChild<QLabel*>("_unsecureLabel")->isVisible(), row.twoFields);
            EXPECT_EQ(window.findChild<QPushButton*>("_resetPasswordButton")->isVisible(), row.twoFields);
            EXPECT_TRUE(Field(window, "_secureField")->isVisible());
            EXPECT_EQ(Field(window, "_secureField")->echoMode(), QLineEdit::Password);
            EXPECT_EQ(LabelText(window, "_secureLabel"), row.secureLabel);
            EXPECT_EQ(window.focusWidget(), Field(window, row.twoFields ? "_unsecureField" : "_secureField"));
            EXPECT_EQ(window.windowTitle(), "Quorvel Login");
            TestSupport::SaveWidgetPicture(window, row.picture);
        };
        ScriptedWindows windows({{kLogin, row.typing, "authenticate", check}});
        EXPECT_TRUE(PromptForPin(row.type, kPrint));
        EXPECT_TRUE(windows.AllStepsTaken());
        EXPECT_EQ(LastGrant(), std::make_pair(row.login, row.password));
        EXPECT_EQ(mServer.RequestsTo("POST", "token").back().Header("X-CV-AuthentType"), std::to_string(row.type));
        EXPECT_EQ(mUser.DisplayName, "User " + row.login);
        EXPECT_EQ(mUser.ServiceAuthToken, mService->GetToken());
        EXPECT_TRUE(Logged("PinCodeWindowController::authenticate - Closing window (OK)."));
        EXPECT_FALSE(Logged("0ld-secret")) << "a secret typed reached the log";
    }
}

// An empty PIN is refused without asking the server, a wrong one by the
// server; either way the alert over the login window tells what the login
// was for, and the window stays for another try with the secret emptied.
TEST_F(LoginWindowTest, RefusedOrEmptyPinKeepsTheWindowOpenWithTheTextsOfTheOperation)
{
    struct Case {
        QString pin;
        AuthenticatedOperationType operation;
        const char* title;
        const char* message;
        size_t grants;
    };
    const std::vector<Case> cases = {
        {"", kPrint, "Client_Authentication_Error_Invalid_Credentials_Printing_Title",
         "Client_Authentication_Error_Invalid_Credentials_Printing_Message", 0},
        {"9999", kPrint, "Client_Authentication_Error_Invalid_Credentials_Printing_Title",
         "Client_Authentication_Error_Invalid_Credentials_Printing_Message", 1},
        {"", kBalance, "Client_Authentication_Error_Invalid_Credentials_Balance_Check_Title",
         "Client_Authentication_Error_Invalid_Credentials_Balance_Check_Message", 0},
        {"9999", kBalance, "Client_Authentication_Error_Invalid_Credentials_Balance_Check_Title",
         "Client_Authentication_Error_Invalid_Credentials_Balance_Check_Message", 1},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.pin.toStdString() + " operation " + std::to_string(row.operation));
        mServer.ClearRequests();
        mUser = User();
        ScriptedWindows windows({
            {kLogin, {{"_secureField", row.pin}}, "authenticate"},
            {kAlert, {}, kOk, [](QWidget& alert) { TestSupport::SaveWidgetPicture(alert, "pin-window-refused"); }},
            {kLogin, {}, "cancel", [](QWidget& window) { EXPECT_EQ(Field(window, "_secureField")->text(), ""); }},
        });
        EXPECT_FALSE(PromptForPin(2, row.operation));
        EXPECT_TRUE(windows.AllStepsTaken());
        ASSERT_EQ(windows.Alerts().size(), 1u);
        EXPECT_EQ(windows.Alerts()[0].text, LocalizedStrings::Text(row.title));
        EXPECT_EQ(windows.Alerts()[0].informative, LocalizedStrings::Text(row.message));
        EXPECT_EQ(windows.Alerts()[0].over, kLogin);
        EXPECT_EQ(mServer.CountOf("POST", "token"), row.grants);
        EXPECT_EQ(mUser.Id, 0u);
        EXPECT_TRUE(Logged("PinCodeWindowController::cancel - Closing window (Cancel)."));
    }
}

// After a refused login in the two-field mode the user goes on where the
// typing is missing: the identifier when it was left empty, else the
// password.
TEST_F(LoginWindowTest, ARefusedTwoFieldLoginFocusesTheFieldToTypeNext)
{
    struct Case {
        QString pin;
        const char* focus;
    };
    for (const Case& row : {Case{"", "_unsecureField"}, Case{"9999", "_secureField"}}) {
        SCOPED_TRACE(row.pin.toStdString());
        mUser = User();
        std::string focused;
        ScriptedWindows windows({
            {kLogin, {{"_unsecureField", row.pin}, {"_secureField", "wrong"}}, "authenticate"},
            {kAlert, {}, kOk},
            {kLogin, {}, "cancel",
             [&focused, &row](QWidget& window) {
                 // The window takes its focus back once it is active again
                 // after the alert, which a loaded machine may take a moment
                 // to do.
                 const auto settled = [&] {
                     return window.focusWidget() && window.focusWidget()->objectName() == row.focus;
                 };
                 (void)QTest::qWaitFor(settled, 2000);
                 if (QWidget* focus = window.focusWidget())
                     focused = focus->objectName().toStdString();
             }},
        });
        EXPECT_FALSE(PromptForPin(3, kPrint));
        EXPECT_TRUE(windows.AllStepsTaken());
        EXPECT_EQ(focused, row.focus);
    }
}

// The password reset: two different new passwords never reach the server;
// a refused current password keeps the sheet; after a reset the window logs
// in with the new password and answers yes only when the server accepts it.
TEST_F(LoginWindowTest, PasswordResetLogsInWithTheNewPasswordOnlyWhenItWasSet)
{
    const std::vector<std::pair<QString, QString>> login = {{"_unsecureField", "jdoe"}, {"_secureField", "0ld-secret"}};
    const std::vector<std::pair<QString, QString>> newPassword = {{"_newPasswordField", "n3w"},
                                                                  {"_confirmPasswordField", "n3w"}};
    const Step openReset{kLogin, login, "_resetPasswordButton"};
    const Step cancelLogin{kLogin, {}, "cancel"};
    struct Case {
        const char* name;
        std::vector<Step> steps;
        bool resetTakesEffect;
        bool validated;
        size_t grants;
        size_t resets;
        std::vector<QString> alerts;
    };
    const QString mismatch = LocalizedStrings::Format("Client_Password_New_Error_Mismatch_Title", "Password");
    const QString resetFailed =
        LocalizedStrings::Format("Client_Password_Reset_Error_Title", "Password", "PIN", "Password");
    const QString refused = LocalizedStrings::Text("Client_Authentication_Error_Invalid_Credentials_Printing_Title");
    const std::vector<Case> cases = {
        {"new passwords differ",
         {openReset,
          {kSheet, {{"_newPasswordField", "n3w"}, {"_confirmPasswordField", "n3W"}}, "resetPassword"},
          {kAlert, {}, kOk},
          {kSheet, {}, "_cancelResetButton",
           [](QWidget& sheet) { EXPECT_EQ(Field(sheet, "_newPasswordField")->text(), ""); }},
          cancelLogin},
         true, false, 0, 0, {mismatch}},
        {"current password wrong",
         {{kLogin, {{"_unsecureField", "jdoe"}, {"_secureField", "wrong"}}, "_resetPasswordButton"},
          {kSheet, newPassword, "resetPassword"},
          {kAlert, {}, kOk},
          {kSheet, {}, "_cancelResetButton"},
          cancelLogin},
         true, false, 1, 0, {resetFailed}},
        {"new password accepted",
         {openReset,
          {kSheet, newPassword, "resetPassword",
           [](QWidget& sheet) { TestSupport::SaveWidgetPicture(sheet, "pin-window-reset"); }}},
         true, true, 2, 1, {}},
        {"new password refused",
         {openReset, {kSheet, newPassword, "resetPassword"}, {kAlert, {}, kOk}, cancelLogin},
         false, false, 2, 1, {refused}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        {
            std::lock_guard lock(mLock);
            mPasswords["jdoe"] = "0ld-secret";
            mblnResetTakesEffect = row.resetTakesEffect;
        }
        mServer.ClearRequests();
        mService->ResetAuthToken();
        mUser = User();
        ScriptedWindows windows(row.steps);
        EXPECT_EQ(PromptForPin(3, kPrint), row.validated);
        EXPECT_TRUE(windows.AllStepsTaken());
        EXPECT_EQ(mServer.CountOf("POST", "token"), row.grants);
        EXPECT_EQ(mServer.CountOf("POST", "printapi/users/setpinpassword"), row.resets);
        std::vector<QString> alerts;
        for (const Shown& alert : windows.Alerts())
            alerts.push_back(alert.text);
        EXPECT_EQ(alerts, row.alerts);
        EXPECT_EQ(mUser.Id != 0, row.validated);
        if (row.resets > 0) {
            EXPECT_EQ(LastGrant(), std::make_pair(std::string("jdoe"), std::string("n3w")));
        }
    }
}

// Only type 5 validates, with a user name and a password; the domain may be
// empty. Every refusal shows the alert and keeps the window.
TEST_F(LoginWindowTest, NetworkLoginValidatesOnlyCompleteCredentialsOfType5)
{
    struct Case {
        int type;
        QString password;
        QString domain;
        bool validated;
        std::string login;  // of the grant asked for; empty: none
    };
    const std::vector<Case> cases = {
        {5, "right", "", true, "bob"},
        {5, "right", "CORP", true, "CORP\\bob"},
        {5, "", "CORP", false, ""},
        {4, "right", "CORP", false, ""},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(std::to_string(row.type) + " " + row.password.toStdString() + " " + row.domain.toStdString());
        mServer.ClearRequests();
        mService->ResetAuthToken();
        mUser = User();
        const std::vector<std::pair<QString, QString>> typing = {
            {"_usernameTextField", "bob"}, {"_passwordField", row.password}, {"_domainTextField", row.domain}};
        std::vector<Step> steps = {{kLogin, typing, "authenticate", [](QWidget& window) {
                                        TestSupport::SaveWidgetPicture(window, "network-login");
                                    }}};
        if (!row.validated) {
            steps.push_back({kAlert, {}, kOk});
            steps.push_back({kLogin, {}, "cancel"});
        }
        ScriptedWindows windows(steps);
        EXPECT_EQ(PromptForNetworkLogin(row.type, kBalance), row.validated);
        EXPECT_TRUE(windows.AllStepsTaken());
        EXPECT_EQ(LastGrant().first, row.login);
        EXPECT_EQ(mUser.DisplayName, row.validated ? "User " + row.login : "");
        EXPECT_EQ(windows.Alerts().size(), row.validated ? 0u : 1u);
        if (!row.validated) {
            EXPECT_EQ(windows.Alerts().at(0).text,
                      LocalizedStrings::Text("Client_Authentication_Error_Invalid_Credentials_Balance_Check_Title"));
        }
    }
}

// The fields start with the user the server knows for the held token, the
// password always empty; without a token they start empty.
TEST_F(LoginWindowTest, NetworkLoginStartsWithTheServersUser)
{
    mServer.ResetAnswer("POST", "token");
    mServer.SetAnswer("GET", "printapi/users",
                      Answer::Json(200, nlohmann::json{{"Id", 7},
                                                       {"DisplayName", "Bob Example"},
                                                       {"SAMAccountName", "bob"},
                                                       {"Domain", "CORP"},
                                                       {"Allowance", {{"Type", 0}}}}
                                            .dump()));
    for (bool tokenHeld : {true, false}) {
        SCOPED_TRACE(tokenHeld);
        mService->ResetAuthToken();
        if (tokenHeld)
            Grant("bob");
        mUser = User();
        auto check = [tokenHeld](QWidget& window) {
            EXPECT_EQ(Field(window, "_usernameTextField")->text(), tokenHeld ? "bob" : "");
            EXPECT_EQ(Field(window, "_passwordField")->text(), "");
            EXPECT_EQ(Field(window, "_domainTextField")->text(), tokenHeld ? "CORP" : "");
            EXPECT_EQ(window.focusWidget(), Field(window, "_usernameTextField"));
        };
        ScriptedWindows windows({{kLogin, {}, "cancel", check}});
        EXPECT_FALSE(PromptForNetworkLogin(5, kPrint));
        EXPECT_TRUE(windows.AllStepsTaken());
    }
}

// The balance window shows the user and the balance of the allowance type
// in the user's number format, and logs the user with the whole
// black-and-white balance.
TEST(BalanceWindowTest, ShowsTheBalanceOfTheAllowanceType)
{
    struct Case {
        int type;
        QLocale locale;
        QString balance;
    };
    const QLocale english(QLocale::English, QLocale::UnitedKingdom);
    const QLocale german(QLocale::German, QLocale::Germany);
    const std::vector<Case> cases = {
        {1, english, "1,234.50"},
        {1, german, "1.234,50"},
        {2, english, "1,234.5 pages"},
        {3, english, "1,234.5 B&W pages"},
        {4, english, "3 colour pages"},
        {5, german, "1.234,5 B&W pages\n3 colour pages"},
        {0, english, ""},
        {6, english, ""},
    };
    TestSupport::TempRoot root;
    const QLocale userLocale;
    for (const Case& row : cases) {
        SCOPED_TRACE(row.type);
        QLocale::setDefault(row.locale);
        User user;
        user.DisplayName = "Alice Example";
        user.Type = row.type;
        user.BWBalanceRemaining = 1234.5;
        user.ColorBalanceRemaining = 3.0;
        ScriptedWindows windows({{"panel", {}, "closeWindow", [&](QWidget& window) {
                                      EXPECT_EQ(LabelText(window, "username"), "Alice Example");
                                      EXPECT_EQ(LabelText(window, "balance"), row.balance);
                                      if (row.type == 5)
                                          TestSupport::SaveWidgetPicture(window, "user-balance");
                                  }}});
        UserBalanceWindowController balance(user);
        balance.showWindow();
        EXPECT_TRUE(windows.AllStepsTaken());
    }
    QLocale::setDefault(userLocale);
    EXPECT_NE(root.ClientLogText().find("User::Alice Example | Balance: 1234"), std::string::npos);
}

}  // namespace
