#include "Core/CVModels/ClientSettings.h"
#include "tests/StandInServer/DefaultAnswers.h"
#include "Platform/UserAccount.h"
#include "tests/WebService/WebServiceFixture.h"

#include <filesystem>

namespace WebServiceTests {
namespace {

using Reach = WebServiceTest;

TEST_F(Reach, PingAnswerIsReusedForJustUnder15Seconds)
{
    EXPECT_TRUE(mService->CanReach());
    mClock.Advance(14);
    EXPECT_TRUE(mService->CanReach());
    EXPECT_EQ(Pings(), 1u);
    mClock.Advance(1);
    EXPECT_TRUE(mService->CanReach());
    EXPECT_EQ(Pings(), 2u);
}

TEST_F(Reach, FailedPingExpiresTheTokenAndIsRemembered)
{
    Grant();
    mClock.Advance(15);
    mServer.SetAnswer("GET", "printapi/info/ping", Answer::Json(500, "broken"));
    EXPECT_FALSE(mService->CanReach());
    EXPECT_FALSE(mService->HasToken());
    EXPECT_EQ(mService->GetToken(), "");
    mServer.SetAnswer("GET", "printapi/info/ping", Answer::Json(200, "true"));
    mClock.Advance(14);
    EXPECT_FALSE(mService->CanReach());
    EXPECT_EQ(Pings(), 2u);
}

TEST_F(Reach, SuccessfulDataRequestRenewsThePingWindowButNotItsAnswer)
{
    mServer.SetAnswer("GET", "printapi/info/ping", Answer::Json(500, "broken"));
    EXPECT_FALSE(mService->CanReach());
    mClock.Advance(10);
    CVClientData::ClientSettings settings(ClientDirectory());
    EXPECT_TRUE(mService->GetClientSettings("host", settings));
    mClock.Advance(10);  // 20 s after the ping, 10 s after the settings
    EXPECT_FALSE(mService->CanReach());
    EXPECT_EQ(Pings(), 1u);
}

TEST_F(Reach, UntrustedServersAreRefused)
{
    StandIn::TestCertificates otherAuthority;
    StandIn::TestCertificates wrongHost({"elsewhere.example"}, {});
    StandIn::StandInServer wrongHostServer(wrongHost);
    struct Case {
        const char* name;
        std::string url;
        std::string bundle;
    };
    const Case cases[] = {
        {"system trust only", mServer.BaseUrl(), ""},
        {"another CA", mServer.BaseUrl(), otherAuthority.CaFile()},
        {"certificate for another host", wrongHostServer.BaseUrl(), wrongHost.CaFile()},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        mService->SetServiceUrl(entry.url);
        mService->SetCaBundle(entry.bundle);
        mService->UpdateToken("held-token");
        mClock.Advance(15);
        EXPECT_FALSE(mService->CanReach());
        EXPECT_EQ(mService->GetToken(), "");  // a failed transfer drops the token
        WebDataServiceResponse response = Request("GET", "printapi/info/ping");
        EXPECT_EQ(response.mintStatus, 0);
    }
    EXPECT_TRUE(mServer.Requests().empty());
    EXPECT_TRUE(wrongHostServer.Requests().empty());
}

TEST_F(Reach, CaBundleComesFromTheEnvironmentAtConstruction)
{
    setenv(WebDataService::CaBundleVariable, mServer.CaFile().c_str(), 1);
    WebDataService fromEnvironment(mClock);
    unsetenv(WebDataService::CaBundleVariable);
    EXPECT_EQ(fromEnvironment.GetCaBundle(), mServer.CaFile());
    EXPECT_EQ(fromEnvironment.GetServiceUrl(), mServer.BaseUrl());
    EXPECT_TRUE(fromEnvironment.CanReach());
}

TEST_F(Reach, EmptyServiceAddressLeavesTheUrlEmpty)
{
    mRoot.WriteClientPreferences({{"ClientServicesUrl", " "}, {"ClientDirectory", ClientDirectory()}});
    WebDataService unconfigured(mClock);
    EXPECT_EQ(unconfigured.GetServiceUrl(), "");
    EXPECT_FALSE(unconfigured.CanReach());
}

// The address as the preferences give it, with or without its closing "/"
// and with a path prefix: every endpoint lands below it.
TEST_F(Reach, EveryFormOfTheAddressIsJoinedAsAUrl)
{
    std::string bare = mServer.BaseUrl();
    bare.pop_back();
    struct Case {
        std::string url;
        const char* path;
    };
    const Case cases[] = {
        {bare, "/printapi/info/ping"},
        {bare + "/", "/printapi/info/ping"},
        {bare + "/quorvel", "/quorvel/printapi/info/ping"},
        {bare + "/quorvel/", "/quorvel/printapi/info/ping"},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.url);
        mRoot.WriteClientPreferences({{"ClientServicesUrl", entry.url}, {"ClientDirectory", ClientDirectory()}});
        WebDataService service(mClock);
        service.SetCaBundle(mServer.CaFile());
        mServer.ClearRequests();
        service.CanReach();
        ASSERT_EQ(mServer.Requests().size(), 1u);
        EXPECT_EQ(mServer.Requests().front().path, entry.path);
    }
}

// With debug lines off (the package's default) every failure that stops
// the accounting still leaves an error line, and no debug line is written.
TEST_F(Reach, FailuresAreErrorLinesWithDebugLoggingOff)
{
    StandIn::TestCertificates otherAuthority;
    StandIn::StandInServer untrusted(otherAuthority);
    std::string closed = mServer.BaseUrl();
    mServer.Stop();
    struct Case {
        std::string url;
        const char* line;
    };
    const Case cases[] = {
        {closed, "Curl error 7: "},
        {untrusted.BaseUrl(), "Curl error 60: "},
        {"print.example.com:8443", "Error: Not a web address: print.example.com:8443/"},
        {"https://[::1", "Curl error 3: "},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.url);
        std::filesystem::remove(mRoot.LogFolder(Platform::CurrentUserName()) + "/" + Platform::CurrentUserName()
                                + "_Quorvel.log");
        mRoot.WriteClientPreferences(
            {{"ClientServicesUrl", entry.url}, {"ClientDirectory", ClientDirectory()}, {"DebugLogging", "0"}});
        WebDataService service(mClock);
        EXPECT_FALSE(service.CanReach());
        std::string log = LogText();
        auto isErrorLine = [&log](const std::string& text) {
            size_t at = log.find(text);
            return at != std::string::npos && log.at(log.rfind('\n', at) + 1) == 'E';
        };
        EXPECT_TRUE(isErrorLine(entry.line)) << log;
        EXPECT_TRUE(isErrorLine("Unable to reach the server")) << log;
        EXPECT_FALSE(log.starts_with("D [") || log.find("\nD [") != std::string::npos) << log;
    }
}

class Settings : public WebServiceTest {
protected:
    void SetUp() override
    {
        WebServiceTest::SetUp();
        std::filesystem::create_directories(ClientDirectory());
    }

    void AnswerSettings(const std::string& pinLabel)
    {
        nlohmann::json body = nlohmann::json::parse(StandIn::DefaultClientSettingsJson());
        body["PINLabel"] = pinLabel;
        mServer.SetAnswer("GET", "printapi/settings/*", Answer::Json(200, body.dump()));
    }

    size_t SettingsRequests() const { return mServer.CountOf("GET", "printapi/settings/host-1"); }
};

TEST_F(Settings, AnswerIsReadIntoTheRecordKeepingItsPath)
{
    AnswerSettings("Badge");
    CVClientData::ClientSettings settings(ClientDirectory());
    const std::string path = settings.GetLocalStoragePath();
    EXPECT_TRUE(mService->GetClientSettings("host-1", settings));
    EXPECT_EQ(settings.PINLabel, "Badge");
    EXPECT_EQ(settings.DisconnectedJobsOldIn, 7u);
    EXPECT_EQ(settings.GetLocalStoragePath(), path);
    EXPECT_EQ(SettingsRequests(), 1u);
    WebDataStatus status = mService->GetStatus();
    EXPECT_TRUE(status.GetLastSettingsStatus());
    EXPECT_EQ(status.GetSettingsLastUpdatedTime(), mClock.Now());
}

TEST_F(Settings, WithinTheWindowTheLocalFileIsServedWithoutARequest)
{
    AnswerSettings("FromServer");
    CVClientData::ClientSettings settings(ClientDirectory());
    ASSERT_TRUE(mService->GetClientSettings("host-1", settings));
    settings.PINLabel = "FromFile";
    ASSERT_TRUE(settings.ToLocalStorageFile());

    CVClientData::ClientSettings again(ClientDirectory());
    mClock.Advance(24);
    EXPECT_TRUE(mService->GetClientSettings("host-1", again));
    EXPECT_EQ(again.PINLabel, "FromFile");
    EXPECT_EQ(SettingsRequests(), 1u);

    mClock.Advance(1);
    EXPECT_TRUE(mService->GetClientSettings("host-1", again));
    EXPECT_EQ(again.PINLabel, "FromServer");
    EXPECT_EQ(SettingsRequests(), 2u);
}

TEST_F(Settings, FailuresAreNotReusedAndLeaveTheRecord)
{
    const std::pair<int, std::string> failures[] = {
        {500, R"({"Message":"server error"})"},
        {404, "{}"},
        {200, "not json"},
        {200, "[1,2]"},
    };
    for (const auto& [status, body] : failures) {
        SCOPED_TRACE(body);
        mServer.SetAnswer("GET", "printapi/settings/*", Answer::Json(status, body));
        CVClientData::ClientSettings settings(ClientDirectory());
        settings.PINLabel = "Kept";
        EXPECT_FALSE(mService->GetClientSettings("host-1", settings));
        EXPECT_EQ(settings.PINLabel, "Kept");
        EXPECT_FALSE(mService->GetStatus().GetLastSettingsStatus());
    }
    EXPECT_EQ(SettingsRequests(), std::size(failures));
    EXPECT_TRUE(Logged(R"(Error: 500, GetClientSettings: {"Message":"server error"})"));
}

TEST_F(Settings, FailedPingEndsTheWindowAtOnce)
{
    AnswerSettings("Badge");
    CVClientData::ClientSettings settings(ClientDirectory());
    ASSERT_TRUE(mService->GetClientSettings("host-1", settings));
    mClock.Advance(16);
    mServer.SetAnswer("GET", "printapi/info/ping", Answer::Json(500, ""));
    EXPECT_FALSE(mService->CanReach());
    EXPECT_TRUE(mService->GetClientSettings("host-1", settings));
    EXPECT_EQ(SettingsRequests(), 2u);
}

}  // namespace
}  // namespace WebServiceTests
