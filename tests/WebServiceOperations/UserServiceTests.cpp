// The user service against the stand-in: each authentication type, logins
// through a scripted user interface, PIN and network validation and the PIN
// password reset.

#include "Core/CVModels/ClientSettings.h"
#include "Core/Services/IUIController.h"
#include "Core/Services/UserService.h"
#include "tests/WebServiceOperations/OperationsFixture.h"

#include <functional>

namespace OperationTests {
namespace {

using CVCoreDataServices::AuthenticatedOperationType;
using CVCoreDataServices::UserService;

// A user interface whose login window is a function the test gives; every
// other window answers at once.
class ScriptedInterface : public CVCoreDataServices::IUIController {
public:
    using Prompt = std::function<bool(User&, WebDataService&, ClientSettings&)>;

    explicit ScriptedInterface(Prompt prompt) : mPrompt(std::move(prompt)) {}

    bool PromptForAuthentication(User& user, WebDataService& service, ClientSettings& settings,
                                 AuthenticatedOperationType operation) override
    {
        ++mintPrompts;
        mLastOperation = operation;
        return mPrompt(user, service, settings);
    }
    bool DisplayJobMessage(UIMessage&) override { return true; }
    bool ShowPopup(ClientJob&, WebDataService&, ClientSettings&) override { return true; }
    bool ShowPendingJobsPopup(PendingJobList&, WebDataService&, const ClientSettings&) override { return true; }
    void BatchStarted() override {}
    void BatchEnded() override {}
    void HavePendingJobs(CVCoreDataServices::PendingJobsType) override {}
    void SetUsingBalances(bool) override {}
    std::string GetProductName() override { return "Quorvel"; }
    std::string GetLocalizedString(CVCoreDataServices::CVLocalizedStringType) override { return std::string(); }
    void DisplaySecureMessage(UIMessage&) override {}

    int mintPrompts = 0;
    AuthenticatedOperationType mLastOperation = CVCoreDataServices::AuthenticatedOperationPrintJob;

private:
    Prompt mPrompt;
};

class Users : public OperationsTest {
protected:
    void SetUp() override
    {
        OperationsTest::SetUp();
        mUserService = std::make_unique<UserService>(*mService);
    }

    // Grants only for the password "right" (and an empty one for the PIN
    // alone); anything else is refused as the server does.
    void AcceptOnlyRightPassword()
    {
        mServer.SetResponder("POST", "token", [](const RecordedRequest& request) {
            std::string password = request.FormValue("password");
            if (password == "right" || (password.empty() && request.Header("X-CV-AuthentType") != "3"))
                return StandIn::GrantToken(request);
            return Answer::Json(400, R"({"error":"invalid_grant","error_description":"The PIN is not valid."})");
        });
    }

    RecordedRequest LastGrant() const
    {
        std::vector<RecordedRequest> grants = mServer.RequestsTo("POST", "token");
        return grants.empty() ? RecordedRequest() : grants.back();
    }

    std::unique_ptr<UserService> mUserService;
    UserService& mUsers() { return *mUserService; }
    ClientSettings mSettings;
};

// Every authentication type reaches the server with its own credentials;
// the types that need a window go through the user interface.
TEST_F(Users, EachAuthenticationTypeLogsInItsOwnWay)
{
    struct Case {
        int type;
        std::string login;
        std::string password;
        bool prompted;
    };
    const std::vector<Case> cases = {
        {0, "alice", "", false},
        {2, "1234", "", true},
        {3, "1234", "right", true},
        {5, "CORP\\bob", "right", true},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.type);
        mService->ResetAuthToken();
        mServer.ClearRequests();
        mSettings.AuthenticationType = row.type;
        ScriptedInterface window([&](User& user, WebDataService& service, ClientSettings& settings) {
            UserService users(service);
            bool unused = false;
            if (settings.IsNetworkAuthentication())
                return users.ValidateNetworkCredentials(user, settings, "bob", row.password, "CORP");
            return users.ValidatePinCode(user, settings, row.login, &row.password, unused);
        });
        User user;
        user.NetworkName = "alice";
        auto operation = CVCoreDataServices::AuthenticatedOperationBalanceCheck;
        EXPECT_TRUE(mUsers().AuthenticateUser(user, &window, mSettings, operation));

        EXPECT_EQ(window.mintPrompts, row.prompted ? 1 : 0);
        if (row.prompted) {
            EXPECT_EQ(window.mLastOperation, operation);
        }
        RecordedRequest grant = LastGrant();
        EXPECT_EQ(grant.FormValue("username"), row.login);
        EXPECT_EQ(grant.FormValue("password"), row.password);
        EXPECT_EQ(grant.Header("X-CV-AuthentType"), std::to_string(row.type));
        EXPECT_EQ(mServer.CountOf("GET", "printapi/users"), 1u);
        EXPECT_EQ(user.DisplayName, "User " + row.login);
        EXPECT_EQ(user.ServiceAuthToken, mService->GetToken());
        EXPECT_FALSE(user.ServiceAuthToken.empty());
    }
}

TEST_F(Users, LoginWindowsNeedAUserInterface)
{
    for (int type : {2, 3, 5}) {
        mSettings.AuthenticationType = type;
        User user;
        EXPECT_FALSE(mUsers().AuthenticateUser(user, nullptr, mSettings,
                                             CVCoreDataServices::AuthenticatedOperationPrintJob));
    }
    EXPECT_EQ(LinesWith("AuthenticatedUser - Requested authentication prompt but cannot display GUI. Not Valid"), 3u);
    EXPECT_TRUE(mServer.Requests().empty());
}

// Type 0 asks for the user whatever the grant said: without a token that
// request is never sent and the answer is false.
TEST_F(Users, RefusedWorkstationUserIsNotAuthenticated)
{
    mServer.SetAnswer("POST", "token", Answer::Json(401, R"({"error":"invalid_userinactive"})"));
    User user;
    user.NetworkName = "mallory";
    EXPECT_FALSE(mUsers().AuthenticateUser(user, nullptr, mSettings, CVCoreDataServices::AuthenticatedOperationPrintJob));
    EXPECT_EQ(mServer.CountOf("GET", "printapi/users"), 0u);
    EXPECT_TRUE(Logged("Error: 0, GetUser: "));
}

// A running batch keeps the login it has: the user is only read again.
TEST_F(Users, RunningBatchKeepsItsLogin)
{
    mSettings.AuthenticationType = 3;
    Grant("alice");
    const size_t grants = Grants();
    for (int batchMode : {1, 2}) {
        User user;
        user.BatchMode = batchMode;
        ScriptedInterface window([](User&, WebDataService&, ClientSettings&) { return false; });
        EXPECT_TRUE(mUsers().AuthenticateUser(user, &window, mSettings,
                                            CVCoreDataServices::AuthenticatedOperationPrintJob));
        EXPECT_EQ(window.mintPrompts, 0);
        EXPECT_EQ(user.NetworkName, "alice");
    }
    EXPECT_EQ(Grants(), grants);
    EXPECT_TRUE(Logged("AuthenticatedUser.- Batch mode active, previously logged in."));
}

// No password counts as an empty one: enough for a PIN alone, refused
// without a request where a password is required.
TEST_F(Users, PinWithoutPassword)
{
    AcceptOnlyRightPassword();
    bool unused = false;
    User user;
    mSettings.AuthenticationType = CVAuthenticationPin;
    EXPECT_TRUE(mUsers().ValidatePinCode(user, mSettings, "1234", nullptr, unused));
    EXPECT_EQ(LastGrant().FormValue("password"), "");
    EXPECT_TRUE(Logged("ValidatePinCode - PIN validated."));

    const size_t grants = Grants();
    mSettings.AuthenticationType = CVAuthenticationPinAndPassword;
    EXPECT_FALSE(mUsers().ValidatePinCode(user, mSettings, "1234", nullptr, unused));
    EXPECT_EQ(Grants(), grants);
    EXPECT_TRUE(Logged("Error: No password provided for authtype: PIN and Password."));
}

// Every login starts from no token, so a wrong PIN is never covered by the
// token of an earlier login.
TEST_F(Users, WrongCredentialsAreRefusedWhateverTokenIsHeld)
{
    AcceptOnlyRightPassword();
    mSettings.AuthenticationType = CVAuthenticationPinAndPassword;
    bool unused = false;
    User user;
    const std::string right = "right";
    const std::string wrong = "wrong";
    ASSERT_TRUE(mUsers().ValidatePinCode(user, mSettings, "1234", &right, unused));
    User other;
    EXPECT_FALSE(mUsers().ValidatePinCode(other, mSettings, "1234", &wrong, unused));
    EXPECT_FALSE(mService->HasToken());
    EXPECT_EQ(other.Id, 0u);

    mSettings.AuthenticationType = CVAuthenticationNetworkLogin;
    EXPECT_TRUE(mUsers().ValidateNetworkCredentials(user, mSettings, "bob", "right", ""));
    EXPECT_EQ(LastGrant().FormValue("username"), "bob");
    EXPECT_TRUE(Logged("Validated network user."));
    EXPECT_FALSE(mUsers().ValidateNetworkCredentials(other, mSettings, "bob", "wrong", "CORP"));
    EXPECT_FALSE(mService->HasToken());
}

// The current PIN password is checked by the server even right after a
// login with the same PIN; only then is the new one sent.
TEST_F(Users, PinPasswordResetChecksTheCurrentPassword)
{
    AcceptOnlyRightPassword();
    mSettings.AuthenticationType = CVAuthenticationPinAndPassword;
    bool unused = false;
    User user;
    const std::string right = "right";
    ASSERT_TRUE(mUsers().ValidatePinCode(user, mSettings, "1234", &right, unused));
    const size_t grants = Grants();

    EXPECT_FALSE(mUsers().ResetPinPassword(user, "1234", "wrong", "n3w"));
    EXPECT_EQ(Grants(), grants + 1);
    EXPECT_EQ(mServer.CountOf("POST", "printapi/users/setpinpassword"), 0u);

    EXPECT_TRUE(mUsers().ResetPinPassword(user, "1234", "right", "n3w"));
    EXPECT_EQ(Grants(), grants + 2);
    RecordedRequest reset = OnlyRequest("POST", "printapi/users/setpinpassword");
    EXPECT_EQ(reset.body, R"({"newPassword":"n3w"})");
    EXPECT_EQ(reset.Header("Authorization"), "bearer " + user.ServiceAuthToken);
    EXPECT_TRUE(Logged("ResetPinPassword -  reset pin password returned."));
}

TEST_F(Users, RefreshReadsTheUserAgain)
{
    User user;
    EXPECT_FALSE(mUsers().RefreshUser(user));
    Grant("carol");
    EXPECT_TRUE(mUsers().RefreshUser(user));
    EXPECT_EQ(user.NetworkName, "carol");
    EXPECT_EQ(mServer.CountOf("GET", "printapi/users"), 1u);
}

}  // namespace
}  // namespace OperationTests
