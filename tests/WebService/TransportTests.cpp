#include "Core/WebServiceConnection/UrlEscape.h"
#include "tests/WebService/WebServiceFixture.h"

#include <fstream>
#include <functional>

namespace WebServiceTests {
namespace {

using Transport = WebServiceTest;

TEST_F(Transport, JsonRequestsCarryMethodBodyAndTheirHeaders)
{
    const std::string token = Grant();
    for (bool authenticated : {false, true}) {
        for (const std::string method : {"GET", "POST", "PUT", "DELETE"}) {
            SCOPED_TRACE(method + (authenticated ? " with token" : " without token"));
            mServer.ClearRequests();
            mServer.SetAnswer(method, "printapi/things", Answer::Json(200, R"({"ok":true})"));
            const std::string body = R"({"Name":"caf\u00e9","Id":7})";
            WebDataServiceResponse response = Request(method, "printapi/things", body, authenticated);

            EXPECT_EQ(response.mintStatus, 200);
            EXPECT_EQ(response.mstrBody, R"({"ok":true})");
            EXPECT_EQ(response.mintBodySize, static_cast<int64_t>(response.mstrBody.size()));
            EXPECT_GT(response.mintHeaderSize, 0);
            auto received = mServer.RequestsTo(method, "printapi/things");
            ASSERT_EQ(received.size(), 1u);
            EXPECT_EQ(received[0].body, body);
            EXPECT_EQ(received[0].Header("Content-Type"), "application/json; charset=utf-8");
            EXPECT_EQ(received[0].Header("Cache-Control"), "no-cache");
            EXPECT_EQ(received[0].Header("Pragma"), "no-cache");
            EXPECT_EQ(received[0].Header("Authorization"), authenticated ? "bearer " + token : "");
        }
    }
}

TEST_F(Transport, EscapedQueryValuesArriveIntact)
{
    const std::string message = "Colour \"over\" budget & 100% = no";
    mServer.SetAnswer("POST", "printapi/jobs/cancelevent/*", Answer::Json(200, "{}"));
    Grant();
    Request("POST", "printapi/jobs/cancelevent/10?eventMesg=" + UrlEscape(message), "{}", true);
    auto received = mServer.RequestsTo("POST", "printapi/jobs/cancelevent/10");
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].QueryValue("eventMesg"), message);
}

TEST_F(Transport, AuthenticatedRequestsNeedAToken)
{
    WebDataServiceResponse response = Request("GET", "printapi/users", "", true);
    EXPECT_EQ(response.mintStatus, 0);
    EXPECT_TRUE(mServer.Requests().empty());
}

TEST_F(Transport, ResponseHeadersAreKeptAndReadable)
{
    Answer answer = Answer::Json(200, "{}");
    answer.headers = {{"X-CV-LogoResult", "2"}, {"X-CV-LogoChangeDate", "2024-03-01T10:00:00"}};
    mServer.SetAnswer("GET", "printapi/settings/logo", answer);
    WebDataServiceResponse response;
    mService->ExecuteUnauthenticatedRequestForFile(response, mServer.BaseUrl() + "printapi/settings/logo", "", "GET");
    long result = 0;
    EXPECT_TRUE(WebDataService::GetHeaderValue("x-cv-logoresult", response.mstrHeaders, result));
    EXPECT_EQ(result, 2);
    std::string date;
    EXPECT_TRUE(WebDataService::GetHeaderValue("X-CV-LogoChangeDate", response.mstrHeaders, date));
    EXPECT_EQ(date, " 2024-03-01T10:00:00\r");
}

TEST_F(Transport, FileDownloadKeepsBinaryBytes)
{
    std::string image(300000, '\0');
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i * 7);
    Answer answer = Answer::Json(200, image);
    answer.contentType = "image/png";
    mServer.SetAnswer("GET", "printapi/settings/logo", answer);
    WebDataServiceResponse response;
    mService->ExecuteUnauthenticatedRequestForFile(response, mServer.BaseUrl() + "printapi/settings/logo", "", "GET");
    EXPECT_EQ(response.mintStatus, 200);
    EXPECT_EQ(response.mintBodySize, static_cast<int64_t>(image.size()));
    EXPECT_TRUE(response.mstrBody == image);
    EXPECT_EQ(mServer.RequestsTo("GET", "printapi/settings/logo").at(0).Header("Authorization"), "");
}

// The requests of one service share its open connection. A request whose
// reused connection closes without an answer fails and is not sent again,
// since the server may have acted on it; the next request connects anew.
TEST_F(Transport, RequestsShareTheOpenConnectionAndNoneIsSentTwice)
{
    Grant();
    mServer.SetAnswer("GET", "printapi/things", Answer::Json(200, "{}"));
    for (bool authenticated : {false, true, false})
        EXPECT_EQ(Request("GET", "printapi/things", "", authenticated).mintStatus, 200);
    EXPECT_EQ(mServer.ConnectionCount(), 1u);

    mServer.SetAnswer("PUT", "printapi/dropped", Answer::Dropped());
    EXPECT_EQ(Request("PUT", "printapi/dropped", "{}", true).mintStatus, 0);
    EXPECT_EQ(mServer.CountOf("PUT", "printapi/dropped"), 1u);
    EXPECT_EQ(Request("GET", "printapi/things").mintStatus, 200);
}

class FileUpload : public WebServiceTest {
protected:
    std::string WritePayload(const std::string& bytes)
    {
        std::string path = mRoot.Path() + "/payload.bin";
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    WebDataServiceResponse Put(const std::string& path, const std::string& method)
    {
        WebDataServiceResponse response;
        mService->ExecuteAuthenticatedFileUpload(response, mServer.BaseUrl() + "printapi/securejobs/payload/J1", path,
                                                 method);
        return response;
    }
};

TEST_F(FileUpload, FileBytesArePutWithTheToken)
{
    std::string payload(1 << 20, '\0');
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<char>(i % 251);
    const std::string token = Grant();
    mServer.SetAnswer("PUT", "printapi/securejobs/payload/J1", Answer::Json(200, R"({"ReleasedTo":"P1"})"));
    WebDataServiceResponse response = Put(WritePayload(payload), "PUT");
    EXPECT_EQ(response.mintStatus, 200);
    auto received = mServer.RequestsTo("PUT", "printapi/securejobs/payload/J1");
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(received[0].body == payload);
    EXPECT_EQ(received[0].Header("Authorization"), "bearer " + token);
}

TEST_F(FileUpload, NothingIsSentWithoutFileTokenOrPut)
{
    const std::string payload = WritePayload("data");
    EXPECT_EQ(Put(payload, "PUT").mintStatus, 0);  // no token yet
    Grant();
    EXPECT_EQ(Put(payload, "POST").mintStatus, 0);
    EXPECT_EQ(Put(mRoot.Path() + "/missing.bin", "PUT").mintStatus, 0);
    EXPECT_EQ(mServer.CountOf("PUT", "printapi/securejobs/payload/J1"), 0u);
    EXPECT_EQ(mServer.CountOf("POST", "printapi/securejobs/payload/J1"), 0u);
}

// Each primitive against an endpoint that never answers.
struct StallCase {
    const char* name;
    const char* method;
    double maxSeconds;
    std::function<void(WebDataService&, WebDataServiceResponse&, const std::string& url)> run;
};

class Stalled : public FileUpload {};

TEST_F(Stalled, EveryRequestEndsInItsTimeOut)
{
    const std::string payload = WritePayload("x");
    const StallCase cases[] = {
        {"unauthenticated", "GET", 5.0,
         [](WebDataService& service, WebDataServiceResponse& response, const std::string& url) {
             service.ExecuteUnauthenticatedRequest(response, url, "{}", "GET");
         }},
        {"authenticated", "POST", 5.0,
         [](WebDataService& service, WebDataServiceResponse& response, const std::string& url) {
             service.ExecuteAuthenticatedRequest(response, url, "{}", "POST");
         }},
        {"download", "GET", 5.0,
         [](WebDataService& service, WebDataServiceResponse& response, const std::string& url) {
             service.ExecuteUnauthenticatedRequestForFile(response, url, "", "GET");
         }},
        // libcurl measures the stall over a window of several seconds after
        // the bytes sent, so an upload takes longer to be given up.
        {"upload", "PUT", 10.0,
         [&payload](WebDataService& service, WebDataServiceResponse& response, const std::string& url) {
             service.ExecuteAuthenticatedFileUpload(response, url, payload, "PUT");
         }},
        {"token", "POST", 5.0,
         [](WebDataService& service, WebDataServiceResponse& response, const std::string& url) {
             service.AuthenticationRequest(response, url, "alice", "pw", CVAuthenticationPinAndPassword);
         }},
    };
    mService->SetTimeouts(2, 1, 1);
    for (const StallCase& entry : cases) {
        SCOPED_TRACE(entry.name);
        mService->UpdateToken("held-token");
        mServer.SetAnswer(entry.method, "printapi/stalled", Answer::Stalled());
        WebDataServiceResponse response;
        double seconds =
            SecondsTaken([&] { entry.run(*mService, response, mServer.BaseUrl() + "printapi/stalled"); });
        EXPECT_EQ(response.mintStatus, 0);
        EXPECT_LT(seconds, entry.maxSeconds);
        EXPECT_GE(seconds, 0.9);
        mServer.ReleaseStalls();
    }
}

TEST_F(Stalled, PingEndsInThePingTimeOut)
{
    mService->SetTimeouts(5, 5, 1);
    mServer.SetAnswer("GET", "printapi/info/ping", Answer::Stalled());
    bool reached = true;
    double seconds = SecondsTaken([&] { reached = mService->CanReach(); });
    EXPECT_FALSE(reached);
    EXPECT_LT(seconds, 4.0);
}

TEST_F(Transport, SchemelessAddressesAreNeverSent)
{
    mService->SetServiceUrl("");
    mService->UpdateToken("held-token");
    WebDataServiceResponse response = Request("GET", "printapi/info/ping");
    EXPECT_EQ(response.mintStatus, 0);
    EXPECT_EQ(mService->GetToken(), "held-token");  // nothing was attempted
}

}  // namespace
}  // namespace WebServiceTests
