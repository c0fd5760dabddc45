#include "tests/JobController/ControllerFixture.h"

#include <filesystem>
#include <future>

namespace JobControllerTests {
namespace {

namespace fs = std::filesystem;

using UserTest = ControllerTest;

TEST_F(UserTest, InitializeLogsInTheWorkstationUserAndCachesThemWithTheirToken)
{
    ServeUser(MakeUser(42, "Alice", CVClientData::User::CostBalance));
    mService->Initialize();

    auto loggedIn = mService->GetLoggedInUser();
    ASSERT_NE(loggedIn, nullptr);
    EXPECT_EQ(loggedIn->Id, 42u);
    EXPECT_EQ(loggedIn->DisplayName, "Alice");
    EXPECT_TRUE(loggedIn->ServiceAuthToken.starts_with("standin-"));
    auto grants = mServer.RequestsTo("POST", "token");
    ASSERT_FALSE(grants.empty());
    EXPECT_EQ(grants.front().FormValue("username"), mstrUser);

    CVClientData::User cached = CachedUser();
    EXPECT_EQ(cached.Id, 42u);
    EXPECT_EQ(cached.ServiceAuthToken, loggedIn->ServiceAuthToken);
    EXPECT_GE(mUI.CountOf("usingBalances", 1), 1u);
}

TEST_F(UserTest, AServerThatIsAwayLeavesTheCachedUserInForce)
{
    ServeUser(MakeUser(42, "Alice"));
    mService->Initialize();
    ASSERT_EQ(CachedUser().Id, 42u);

    // The client starts again while the server is away.
    mServer.Stop();
    MakeService();
    mService->Initialize();
    auto loggedIn = mService->GetLoggedInUser();
    ASSERT_NE(loggedIn, nullptr);
    EXPECT_EQ(loggedIn->Id, 42u);
    EXPECT_EQ(loggedIn->DisplayName, "Alice");
    EXPECT_EQ(CachedUser().Id, 42u);
}

TEST_F(UserTest, AnUnreadableCacheFileIsIgnored)
{
    TestSupport::WriteFileText(UserCacheFile(), "\xff\x01not a user record");
    RefuseTokens();
    mService->Initialize();
    auto loggedIn = mService->GetLoggedInUser();
    ASSERT_NE(loggedIn, nullptr);
    EXPECT_EQ(loggedIn->Id, 0u);
    EXPECT_EQ(loggedIn->NetworkName, mstrUser);
    EXPECT_GE(mUI.CountOf("usingBalances", 0), 1u);
    EXPECT_EQ(mServer.CountOf("GET", "printapi/users"), 0u);
}

TEST_F(UserTest, AChangeOfAuthenticationTypeEndsTheBatchAndDropsTheCachedUser)
{
    ServeUser(MakeUser(42, "Alice"));
    mService->Initialize();
    CVClientData::Job job;
    job.GetUser() = MakeUser(42, "Alice");
    job.GetUser().BatchMode = CVBatchModeAutomatic;
    job.GetUser().BatchTimeout = 600;
    job.Comments = "kept for the batch";
    mService->HandledPrintJob(job);
    ASSERT_NE(mService->GetBatchUser(), nullptr);
    mUI.ClearCalls();

    // The server now asks for a PIN, which the workstation's name alone does not give.
    ServeSettings(CVAuthenticationPin);
    RefuseTokens();
    EXPECT_EQ(mService->GetClientSettings().AuthenticationType, CVAuthenticationPin);
    EXPECT_GE(mUI.CountOf("batchEnded"), 1u);
    EXPECT_EQ(mService->GetBatchUser(), nullptr);
    EXPECT_FALSE(fs::exists(UserCacheFile()));
    auto loggedIn = mService->GetLoggedInUser();
    ASSERT_NE(loggedIn, nullptr);
    EXPECT_EQ(loggedIn->Id, 0u);
    CVClientData::Job next = job;
    next.Comments.clear();
    EXPECT_FALSE(mService->DetermineBatchStatus(next, true));
    mService->CopyLastUsedValuesToJob(next);
    EXPECT_TRUE(next.Comments.empty());

    // Back to the workstation's login: its user is logged in and cached anew.
    ServeSettings(CVAuthenticationLoggedInUser);
    GrantTokens();
    ServeUser(MakeUser(43, "Bob"));
    mService->GetClientSettings();
    ASSERT_NE(mService->GetLoggedInUser(), nullptr);
    EXPECT_EQ(mService->GetLoggedInUser()->Id, 43u);
    EXPECT_EQ(CachedUser().Id, 43u);
}

TEST_F(UserTest, OnlyTheWorkstationLoginKeepsTheLastUserLoggedIn)
{
    ServeUser(MakeUser(42, "Alice"));
    mService->Initialize();
    auto alice = mService->GetLoggedInUser();
    ASSERT_NE(alice, nullptr);

    mService->SetLastUser(MakeUser(43, "Bob"), false);
    ASSERT_NE(mService->GetLoggedInUser(), nullptr);
    EXPECT_EQ(mService->GetLoggedInUser()->Id, 43u);
    EXPECT_EQ(CachedUser().Id, 43u);
    EXPECT_EQ(alice->DisplayName, "Alice");  // a snapshot handed out stays whole

    // With refresh, the server's record of the user is taken.
    ServeUser(MakeUser(43, "Bob Server"));
    mService->SetLastUser(MakeUser(43, "Bob"), true);
    ASSERT_NE(mService->GetLoggedInUser(), nullptr);
    EXPECT_EQ(mService->GetLoggedInUser()->DisplayName, "Bob Server");

    ServeSettings(CVAuthenticationPin);
    mService->GetClientSettings();
    mService->SetLastUser(MakeUser(44, "Carol"), false);
    EXPECT_EQ(mService->GetLoggedInUser(), nullptr);
    EXPECT_NE(CachedUser().Id, 44u);
}

TEST_F(UserTest, ABalanceCheckUserIsValidatedByNameOrByTheUser)
{
    ServeUser(MakeUser(45, "Dan", CVClientData::User::PageBalance));
    mService->Initialize();
    std::optional<CVClientData::User> dan = mService->GetValidatedUserForBalance("dan");
    ASSERT_TRUE(dan.has_value());
    EXPECT_EQ(dan->Id, 45u);
    EXPECT_EQ(CachedUser().Id, 45u);

    // Under PIN login the name alone is refused: the user is asked, and declines.
    ServeSettings(CVAuthenticationPin);
    mService->GetClientSettings();
    RefuseTokens();
    auto validated = std::async(std::launch::async, [&] { return mService->GetValidatedUserForBalance("dan"); });
    ASSERT_TRUE(mUI.WaitForQuestions(1));
    EXPECT_EQ(mUI.Questions(), std::vector<std::string>{"prompt"});
    mUI.AnswerOldest(false);
    EXPECT_FALSE(validated.get().has_value());
}

// A PIN or a network login is the user's to give: neither the settings'
// refresh that every job begins with nor the balance check tries the
// workstation's name in the user's stead, which a server may count towards
// locking the account.
TEST_F(UserTest, UnderALoginWindowNothingIsSentInTheUsersNameBeforeTheyAnswer)
{
    mService->Initialize();
    for (int32_t type : {CVAuthenticationPin, CVAuthenticationPinAndPassword, CVAuthenticationNetworkLogin}) {
        SCOPED_TRACE(type);
        ServeSettings(type);
        mServer.ClearRequests();
        EXPECT_EQ(mService->GetClientSettings().AuthenticationType, type);
        auto validated = std::async(std::launch::async, [&] { return mService->GetValidatedUserForBalance("dan"); });
        ASSERT_TRUE(mUI.WaitForQuestions(1));
        EXPECT_TRUE(mServer.RequestsTo("POST", "token").empty());
        mUI.AnswerOldest(false);
        EXPECT_FALSE(validated.get().has_value());
    }
}

}  // namespace
}  // namespace JobControllerTests
