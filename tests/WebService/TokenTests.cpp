#include "tests/WebService/WebServiceFixture.h"

#include <tuple>

namespace WebServiceTests {
namespace {

using Token = WebServiceTest;

TEST_F(Token, GrantPostsEscapedCredentialsAndStoresTheToken)
{
    const std::string user = "dom\\a&b=c+d%e \xC3\xBC";
    const std::string password = "p&w=1+2%3 ";
    std::string token;
    AuthorizeResult result = mService->Authorize(CVAuthenticationPinAndPassword, user, password, token);

    EXPECT_EQ(result.mintResultCode, AuthorizeResultCode::Success);
    EXPECT_EQ(token.rfind("standin-", 0), 0u);
    EXPECT_EQ(mService->GetToken(), token);
    EXPECT_TRUE(mService->HasToken());
    auto grants = mServer.RequestsTo("POST", "token");
    ASSERT_EQ(grants.size(), 1u);
    const StandIn::RecordedRequest& grant = grants.front();
    EXPECT_EQ(grant.FormValue("grant_type"), "password");
    EXPECT_EQ(grant.FormValue("username"), user);
    EXPECT_EQ(grant.FormValue("password"), password);
    EXPECT_EQ(grant.Header("X-CV-AuthentType"), "3");
    EXPECT_EQ(grant.Header("Content-Type"), "text/xml, _application/x-www-form-urlencoded; charset=utf-8");
    EXPECT_EQ(grant.Header("User-Agent"), "libcurl-agent/1.0");
    EXPECT_EQ(Pings(), 1u);  // reachability is checked before a grant
}

struct ErrorCase {
    int status;
    const char* body;
    AuthorizeResultCode code;
    const char* message;
};

const ErrorCase ErrorCases[] = {
    {400, R"({"error":"invalid_grant","error_description":"Wrong PIN"})", AuthorizeResultCode::InvalidGrant, "Wrong PIN"},
    {401, R"({"error":"xx-invalid_grant-yy"})", AuthorizeResultCode::InvalidGrant, ""},
    {400, R"({"error":"invalid_card","error_description":"Card unknown"})", AuthorizeResultCode::InvalidCard,
     "Card unknown"},
    {401, R"({"error":"invalid_userinactive","error_description":"Disabled"})", AuthorizeResultCode::UserInactive,
     "Disabled"},
    {200, R"({"error":"server_busy","error_description":"Later"})", AuthorizeResultCode::Failure, "Later"},
    {400, R"({"error_description":"No error name"})", AuthorizeResultCode::Failure, ""},
    {400, "not json at all", AuthorizeResultCode::Failure, ""},
    {401, R"({"error":42})", AuthorizeResultCode::Failure, ""},
    {403, R"({"error":"invalid_grant","error_description":"Forbidden"})", AuthorizeResultCode::Failure, ""},
    {500, R"({"access_token":"never-read"})", AuthorizeResultCode::Failure, ""},
    {200, R"({"access_token":"x"})", AuthorizeResultCode::Success, ""},  // too short to keep
};

TEST_F(Token, ErrorAnswersMapToCodesAndMessages)
{
    for (const ErrorCase& entry : ErrorCases) {
        SCOPED_TRACE(entry.body);
        mServer.SetAnswer("POST", "token", Answer::Json(entry.status, entry.body));
        std::string token = "untouched";
        AuthorizeResult result = mService->Authorize(CVAuthenticationPin, "1234", "", token);
        EXPECT_EQ(result.mintResultCode, entry.code);
        EXPECT_EQ(result.mstrMessage, entry.message);
        EXPECT_EQ(token, entry.code == AuthorizeResultCode::Success ? "" : "untouched");
        EXPECT_FALSE(mService->HasToken());
    }
    EXPECT_EQ(Grants(), std::size(ErrorCases));
    EXPECT_TRUE(Logged("Error: invalid_card"));
    EXPECT_TRUE(Logged(R"(Authorization Error: {"error":"invalid_grant","error_description":"Forbidden"})"));
    EXPECT_TRUE(Logged("Authorization Error code: 403"));
}

TEST_F(Token, UnsupportedOptionsAndMissingPasswordMakeNoRequest)
{
    const std::tuple<CVAuthenticationOption, std::string, AuthorizeResultCode, std::string> cases[] = {
        {CVAuthenticationAutomatic, "pw", AuthorizeResultCode::Failure, "Authorization type not supported on this OS"},
        {CVAuthenticationNetworkDirect, "pw", AuthorizeResultCode::Failure,
         "Authorization type not supported on this OS"},
        {CVAuthenticationPinAndPassword, "", AuthorizeResultCode::InvalidGrant, "No password provided."},
    };
    for (const auto& [option, password, code, message] : cases) {
        std::string token;
        AuthorizeResult result = mService->Authorize(option, "user", password, token);
        EXPECT_EQ(result.mintResultCode, code);
        EXPECT_EQ(result.mstrMessage, message);
    }
    EXPECT_TRUE(mServer.Requests().empty());
    EXPECT_TRUE(Logged("Error: Selected authorization not supported on the OS"));
    EXPECT_TRUE(Logged("Error: No password provided for authtype: PIN and Password."));
}

TEST_F(Token, SameCredentialsReuseTheTokenForJustUnder420Seconds)
{
    std::string first = Grant("alice");
    mClock.Advance(419);
    EXPECT_EQ(Grant("alice"), first);
    EXPECT_EQ(Grants(), 1u);

    mClock.Advance(1);
    EXPECT_FALSE(mService->HasToken());
    std::string second = Grant("alice");
    EXPECT_NE(second, first);
    EXPECT_EQ(Grants(), 2u);
}

TEST_F(Token, HeldTokenIsNeverHandedOutForOtherCredentials)
{
    std::string token;
    ASSERT_EQ(mService->Authorize(CVAuthenticationPinAndPassword, "1234", "right", token).mintResultCode,
              AuthorizeResultCode::Success);
    const std::string held = token;

    mServer.SetAnswer("POST", "token", Answer::Json(400, R"({"error":"invalid_grant"})"));
    const std::tuple<CVAuthenticationOption, std::string, std::string> others[] = {
        {CVAuthenticationPinAndPassword, "1234", "wrong"},
        {CVAuthenticationPinAndPassword, "9999", "right"},
        {CVAuthenticationPin, "1234", "right"},
    };
    for (const auto& [option, user, password] : others) {
        std::string answer = "untouched";
        EXPECT_EQ(mService->Authorize(option, user, password, answer).mintResultCode,
                  AuthorizeResultCode::InvalidGrant);
        EXPECT_EQ(answer, "untouched");
    }
    EXPECT_EQ(Grants(), 1u + std::size(others));
    // The same credentials still get the token they were granted.
    std::string again;
    EXPECT_EQ(mService->Authorize(CVAuthenticationPinAndPassword, "1234", "right", again).mintResultCode,
              AuthorizeResultCode::Success);
    EXPECT_EQ(again, held);
}

TEST_F(Token, TokensFromOutsideAreNeverReusedForCredentials)
{
    mService->UpdateToken("cached-token");
    EXPECT_TRUE(mService->HasToken());
    std::string token;
    mService->Authorize(CVAuthenticationLoggedInUser, "alice", "", token);
    EXPECT_NE(token, "cached-token");
    EXPECT_EQ(Grants(), 1u);

    mService->UpdateToken("x");
    EXPECT_FALSE(mService->HasToken());
    EXPECT_EQ(mService->GetToken(), "");
    mService->UpdateToken("bad\r\nX-Injected: 1");
    EXPECT_EQ(mService->GetToken(), "");
}

TEST_F(Token, AdoptedTokenIsSentAsHeldButNotStamped)
{
    std::string adopted = "adopted-token";
    EXPECT_EQ(mService->Authorize(adopted).mintResultCode, AuthorizeResultCode::Failure);
    mServer.SetAnswer("GET", "printapi/users", Answer::Json(200, "{}"));
    EXPECT_EQ(Request("GET", "printapi/users", "", true).mintStatus, 200);
    EXPECT_EQ(mServer.RequestsTo("GET", "printapi/users").at(0).Header("Authorization"), "bearer adopted-token");
    EXPECT_FALSE(mService->HasToken());  // never stamped: already stale
}

TEST_F(Token, UnreachableServerGivesFailureWithoutAGrant)
{
    mServer.SetAnswer("GET", "printapi/info/ping", Answer::Json(503, "down"));
    std::string token;
    AuthorizeResult result = mService->Authorize(CVAuthenticationLoggedInUser, "alice", "", token);
    EXPECT_EQ(result.mintResultCode, AuthorizeResultCode::Failure);
    EXPECT_EQ(result.mstrMessage, "");
    EXPECT_EQ(Grants(), 0u);
}

}  // namespace
}  // namespace WebServiceTests
