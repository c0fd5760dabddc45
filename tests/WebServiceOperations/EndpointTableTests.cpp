// Every endpoint operation against the stand-in, from one table: what goes
// on the wire (method, path, query, headers, body), what the answer fills
// in, and how each kind of failure ends.

#include "Common/StringFormat.h"
#include "Core/CVModels/Application.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/CustomFieldValueSearch.h"
#include "Core/CVModels/PendingJobList.h"
#include "Core/CVModels/ProcessJobResult.h"
#include "Core/CVModels/SecureSubmitPayloadResult.h"
#include "tests/WebServiceOperations/OperationsFixture.h"

#include <algorithm>
#include <functional>

namespace OperationTests {
namespace {

// The records one call works on, fresh for every case.
struct Records {
    ClientJob job = SampleJob();
    CVAuthenticationOption option = CVAuthenticationLoggedInUser;
    ClientSettings settings;
    std::vector<CustomField> fields;
    CustomFieldValueSearch search{1};
    std::vector<CustomFieldValue> values;
    Printer printer;
    long status = -1;
    ClientLogoResult logo = StandardLogo;
    std::string logoData;
    std::string logoDate;
    std::vector<Application> applications;
    User user;
    ProcessJobResult result;
    PendingJobList pending;
    CustomFieldValue value;
    SecureSubmitPayloadResult secure;
    std::string payloadPath;
};

// How a request is made, which decides its headers.
enum class Kind { Json, Bearer, BearerChecked, Download, Upload };

struct EndpointCase {
    std::string name;        // the operation's name in its error line
    std::string method;      // as sent
    std::string path;        // as the stand-in records it
    std::string query;       // the raw query sent
    std::string scriptPath;  // where a test scripts the endpoint's answer
    Kind kind;
    std::function<bool(WebDataService&, Records&)> call;
    std::function<void(const RecordedRequest&)> checkBody;
    std::function<void(const Records&)> checkAnswer;
    std::vector<std::string> badBodies;  // 200 answers the operation cannot read
};

void ExpectEmptyBody(const RecordedRequest& request)
{
    EXPECT_EQ(request.body, "");
}

// The service form of SampleJob: its ids added, the user, printer and
// options only in the full form; keys in byte order.
void ExpectJob(const RecordedRequest& request, bool full)
{
    nlohmann::ordered_json sent = SentObject(request);
    ASSERT_TRUE(sent.is_object()) << request.body;
    EXPECT_TRUE(KeysInByteOrder(sent)) << request.body;
    EXPECT_EQ(sent["Id"], 314);
    EXPECT_EQ(sent["DocumentName"], "Quarterly report.pdf");
    EXPECT_EQ(sent["UserId"], 42);
    EXPECT_EQ(sent["DeviceId"], 7);
    EXPECT_EQ(sent["DeviceDisplayName"], "Lobby");
    EXPECT_EQ(sent["SecureQueueId"], 3);
    EXPECT_EQ(sent["ClientVersion"], "");
    EXPECT_EQ(sent.contains("User"), full);
    EXPECT_EQ(sent.contains("Printer"), full);
    EXPECT_EQ(sent.contains("Options"), full);
    if (full) {
        EXPECT_EQ(sent["User"]["NetworkName"], "alice");
        EXPECT_EQ(sent["Printer"]["Name"], "Lobby");
        EXPECT_EQ(sent["Options"]["CustomField"].size(), 1u);
    }
}

void ExpectSlimJob(const RecordedRequest& request)
{
    ExpectJob(request, false);
}

void ExpectFullJob(const RecordedRequest& request)
{
    ExpectJob(request, true);
}

// The object sent has exactly these keys (in byte order).
std::function<void(const RecordedRequest&)> ExpectKeys(std::vector<std::string> keys)
{
    return [keys](const RecordedRequest& request) {
        nlohmann::ordered_json sent = SentObject(request);
        ASSERT_TRUE(sent.is_object()) << request.body;
        std::vector<std::string> names;
        for (const auto& [key, value] : sent.items())
            names.push_back(key);
        EXPECT_EQ(names, keys) << request.body;
    };
}

void NoAnswerCheck(const Records&) {}

// The table: one row per endpoint operation, in the interface's order.
std::vector<EndpointCase> Endpoints()
{
    const std::string notJson = "<html>Service Unavailable</html>";
    return {
        {"GetAuthenticationOption", "PUT", "/printapi/rules/getauthoption", "", "printapi/rules/getauthoption",
         Kind::Json, [](WebDataService& s, Records& r) { return s.GetAuthenticationOption(r.job, r.option); },
         ExpectSlimJob, [](const Records& r) { EXPECT_EQ(r.option, CVAuthenticationLoggedInUser); },
         {notJson, "\"3\"", "3 or 5", "99999999999"}},
        {"GetClientSettings", "GET", "/printapi/settings/desk_7", "", "printapi/settings/desk_7", Kind::Json,
         [](WebDataService& s, Records& r) { return s.GetClientSettings("desk_7", r.settings); }, ExpectEmptyBody,
         [](const Records& r) { EXPECT_EQ(r.settings.DisconnectedJobsOldIn, 7u); },
         {notJson, "[1,2]"}},
        {"GetCustomFields", "GET", "/printapi/customfields", "", "printapi/customfields", Kind::Json,
         [](WebDataService& s, Records& r) { return s.GetCustomFields(r.fields); }, ExpectEmptyBody,
         [](const Records& r) {
             ASSERT_EQ(r.fields.size(), 2u);
             EXPECT_EQ(r.fields[0].Name, "Account");
             EXPECT_EQ(r.fields[1].ParentId, 1u);
         },
         {notJson, R"({"Id":1})", "[1,2]"}},
        {"SearchCustomFieldValues", "PUT", "/printapi/customfields/values/search", "",
         "printapi/customfields/values/search", Kind::Json,
         [](WebDataService& s, Records& r) {
             r.search.SearchFor = "A10";
             r.search.PageSize = 2;
             r.search.PageNumber = 2;
             return s.SearchCustomFieldValues(r.search);
         },
         [](const RecordedRequest& request) {
             ExpectKeys({"FieldId", "PageNumber", "PageSize", "ParentValueId", "SearchFor"})(request);
             nlohmann::json sent = nlohmann::json::parse(request.body);
             EXPECT_EQ(sent["SearchFor"], "A10");
             EXPECT_EQ(sent["PageNumber"], 2);
         },
         [](const Records& r) {
             ASSERT_EQ(r.search.MatchingValues.size(), 2u);
             EXPECT_EQ(r.search.MatchingValues[0].Code, "A102");
             EXPECT_EQ(r.search.PageCount, 3u);
         },
         {notJson, R"({"FieldId":1,"PageCount":1})", R"({"MatchingValues":[{"Code":"no modifier"}]})"}},
        {"SearchCustomFieldValues", "PUT", "/printapi/customfields/values/search", "",
         "printapi/customfields/values/search", Kind::Json,
         [](WebDataService& s, Records& r) { return s.GetCustomFieldValues(r.values, 2, 101); },
         [](const RecordedRequest& request) {
             nlohmann::json sent = nlohmann::json::parse(request.body);
             EXPECT_EQ(sent, nlohmann::json::parse(
                                 R"({"FieldId":2,"PageNumber":1,"PageSize":0,"ParentValueId":101,"SearchFor":""})"));
         },
         [](const Records& r) {
             ASSERT_EQ(r.values.size(), 2u);
             EXPECT_EQ(r.values[1].Code, "P201");
         },
         {notJson}},
        {"GetPrinter", "POST", "/printapi/printers", "", "printapi/printers", Kind::Json,
         [](WebDataService& s, Records& r) {
             r.printer.Name = "Lobby";
             r.printer.PrinterUri = "ipp://lobby/ipp/print";
             return s.GetPrinter(r.printer, r.status);
         },
         [](const RecordedRequest& request) {
             EXPECT_EQ(nlohmann::json::parse(request.body)["Name"], "Lobby");
             EXPECT_TRUE(KeysInByteOrder(SentObject(request)));
         },
         [](const Records& r) {
             EXPECT_EQ(r.status, 200);
             EXPECT_EQ(r.printer.Id, 17u);
             EXPECT_EQ(r.printer.PrinterUri, "ipp://lobby/ipp/print");
         },
         {notJson, "[]"}},
        {"GetClientLogo", "GET", "/printapi/settings/logo", "logodate=2023-01-01T00%3A00%3A00.000Z",
         "printapi/settings/logo", Kind::Download,
         [](WebDataService& s, Records& r) {
             r.logoDate = "2023-01-01T00:00:00";
             return s.GetClientLogo(r.logo, r.logoData, r.logoDate);
         },
         ExpectEmptyBody,
         [](const Records& r) {
             EXPECT_EQ(r.logo, NewLogo);
             EXPECT_EQ(r.logoData, StandIn::DefaultLogoBytes());
             EXPECT_EQ(r.logoDate, " " + StandIn::DefaultLogoDate() + "\r");
         },
         {}},
        {"GetAppList", "GET", "/printapi/appList", "", "printapi/appList", Kind::Json,
         [](WebDataService& s, Records& r) { return s.GetSpecialAppList(r.applications); }, ExpectEmptyBody,
         [](const Records& r) {
             ASSERT_EQ(r.applications.size(), 1u);
             EXPECT_EQ(r.applications[0].ProcessName, "Preview");
         },
         {notJson, R"({"ProcessName":"Preview"})"}},
        {"GetUser", "GET", "/printapi/users", "", "printapi/users", Kind::Bearer,
         [](WebDataService& s, Records& r) {
             r.user.NetworkName = "alice";
             return s.GetUser(r.user);
         },
         [](const RecordedRequest& request) {
             nlohmann::ordered_json sent = SentObject(request);
             EXPECT_EQ(sent["NetworkName"], "alice");
             EXPECT_TRUE(sent.contains("Allowance"));
             EXPECT_TRUE(KeysInByteOrder(sent));
         },
         [](const Records& r) {
             EXPECT_EQ(r.user.DisplayName, "User alice");
             EXPECT_DOUBLE_EQ(r.user.BWBalanceRemaining, 25.0);
         },
         {notJson, R"({"Id":5,"DisplayName":"no allowance"})"}},
        {"ResetPINPasswrod", "POST", "/printapi/users/setpinpassword", "", "printapi/users/setpinpassword",
         Kind::BearerChecked, [](WebDataService& s, Records&) { return s.ResetPINPassword("n3w pass"); },
         ExpectKeys({"newPassword"}), NoAnswerCheck, {}},
        {"Save Job", "POST", "/printapi/jobs", "", "printapi/jobs", Kind::Bearer,
         [](WebDataService& s, Records& r) { return s.SaveJob(r.job); }, ExpectFullJob, NoAnswerCheck, {}},
        {"Save Pending Job", "POST", "/printapi/pendingjobs", "", "printapi/pendingjobs", Kind::Bearer,
         [](WebDataService& s, Records& r) { return s.SavePendingJob(r.job); }, ExpectFullJob,
         [](const Records& r) { EXPECT_GT(r.job.Id, 5000u); }, {notJson, "-5", "\"5001\"", "5001 5002"}},
        {"Save Disconnected Job", "POST", "/printapi/disconnectedjobs", "", "printapi/disconnectedjobs",
         Kind::Bearer, [](WebDataService& s, Records& r) { return s.SaveDisconnectedJob(r.job); }, ExpectFullJob,
         NoAnswerCheck, {}},
        {"ProcessJob", "PUT", "/printapi/rules/process", "startStage=1&stopAfterStage=4", "printapi/rules/process",
         Kind::Bearer,
         [](WebDataService& s, Records& r) {
             return s.ProcessJob(r.job, CVJobProcessingStageBeforePages, CVJobProcessingStageFinal, r.result);
         },
         ExpectSlimJob, [](const Records& r) { EXPECT_EQ(r.result.ProcessedToStage, 4); },
         {notJson, R"({"ProcessedToStage":2})", "[]"}},
        {"GetPendingJobs", "GET", "/printapi/pendingjobs", "", "printapi/pendingjobs", Kind::Bearer,
         [](WebDataService& s, Records& r) { return s.GetPendingJobs(r.pending); }, ExpectEmptyBody,
         [](const Records& r) { EXPECT_TRUE(r.pending.empty()); }, {notJson, R"([{"Id":1}])", "{}"}},
        {"Adding job cancel event failed for job: 314. Error message", "POST", "/printapi/jobs/cancelevent/10",
         "eventMesg=\"Over%20budget\"", "printapi/jobs/cancelevent/*", Kind::BearerChecked,
         [](WebDataService& s, Records& r) { return s.AddJobCancelEvent(r.job, CVCancelReasonSecurity, "Over budget"); },
         ExpectFullJob, NoAnswerCheck, {}},
        {"AddCustomFieldValue", "POST", "/printapi/customfields/values", "", "printapi/customfields/values",
         Kind::BearerChecked,
         [](WebDataService& s, Records& r) {
             r.value.FieldId = 1;
             r.value.Code = "NEW1";
             std::string unused;
             return s.AddCustomFieldValue(r.value, unused);
         },
         [](const RecordedRequest& request) {
             nlohmann::ordered_json sent = SentObject(request);
             EXPECT_EQ(sent["Code"], "NEW1");
             EXPECT_EQ(sent["ValueId"], 0);
             EXPECT_TRUE(KeysInByteOrder(sent));
         },
         [](const Records& r) {
             EXPECT_GT(r.value.ValueId, 900u);
             EXPECT_EQ(r.value.Code, "NEW1");
         },
         {notJson, R"({"Code":"NEW1","ValueId":5})"}},
        {"SubmitSecureJob", "POST", "/printapi/securejobs/1", "", "printapi/securejobs/*", Kind::BearerChecked,
         [](WebDataService& s, Records& r) {
             return s.SubmitSecureJob(r.job, r.payloadPath, r.secure, CVSecureJobDataSpoolFile, false);
         },
         ExpectSlimJob, [](const Records& r) { EXPECT_EQ(r.secure.ReleasedTo, "Secure queue"); },
         {notJson, R"({"PayloadUrl":"https://127.0.0.1/"})", "[]"}},
        {"SubmitSecureJobPayload", "PUT", "/printapi/securejobs/payload/job-77", "", "printapi/securejobs/payload/*",
         Kind::Upload,
         [](WebDataService& s, Records& r) {
             return s.SubmitSecureJobPayload("job-77", s.GetServiceUrl(), r.payloadPath, r.secure,
                                             CVSecureJobDataSpoolFile, false);
         },
         [](const RecordedRequest& request) { EXPECT_EQ(request.body, "%!PS-Adobe-3.0\nshowpage\n"); },
         [](const Records& r) {
             EXPECT_TRUE(r.secure.Routed);
             EXPECT_EQ(r.secure.ReleasedTo, "Secure queue");
         },
         {notJson, "[true]"}},
    };
}

bool UsesToken(Kind kind)
{
    return kind == Kind::Bearer || kind == Kind::BearerChecked || kind == Kind::Upload;
}

class Endpoint : public OperationsTest {
protected:
    void SetUp() override
    {
        OperationsTest::SetUp();
        mstrPayload = mRoot.Path() + "/.Secure_314.payload";
        TestSupport::WriteFileText(mstrPayload, "%!PS-Adobe-3.0\nshowpage\n");
    }

    // Records for one call, its payload file in place.
    std::unique_ptr<Records> Fresh() const
    {
        auto records = std::make_unique<Records>();
        records->payloadPath = mstrPayload;
        return records;
    }

    // The failure line the operation writes for the status and body.
    static std::string FailureLine(const EndpointCase& row, long status, const std::string& body)
    {
        return stringFormat("Error: %ld, %s: %s", status, row.name, body);
    }

    std::string mstrPayload;
};

TEST_F(Endpoint, SendsWhatTheServerExpectsAndReadsItsAnswer)
{
    const std::string token = Grant();
    for (const EndpointCase& row : Endpoints()) {
        SCOPED_TRACE(row.name + " " + row.path);
        mServer.ClearRequests();
        auto records = Fresh();
        EXPECT_TRUE(row.call(*mService, *records));

        RecordedRequest request = OnlyRequest(row.method, row.path);
        EXPECT_EQ(request.query, row.query);
        row.checkBody(request);
        row.checkAnswer(*records);

        EXPECT_EQ(request.Header("Authorization"), UsesToken(row.kind) ? "bearer " + token : "");
        EXPECT_EQ(request.Header("Accept"), "*/*");
        EXPECT_EQ(request.Header("Content-Type"), "application/json; charset=utf-8");
        EXPECT_EQ(request.Header("User-Agent"), "libcurl-agent/1.0");
        bool json = row.kind != Kind::Download && row.kind != Kind::Upload;
        EXPECT_EQ(request.Header("Cache-Control"), json ? "no-cache" : "");
        EXPECT_EQ(request.Header("Pragma"), json ? "no-cache" : "");
        EXPECT_EQ(request.Header("Transfer-Encoding"), row.kind == Kind::Upload ? "chunked" : "");
    }
}

TEST_F(Endpoint, RefusedAnswersFailWithTheOperationsLine)
{
    Grant();
    for (const EndpointCase& row : Endpoints()) {
        for (int status : {400, 401, 404, 503}) {
            SCOPED_TRACE(row.name + " answered " + std::to_string(status));
            const std::string body = R"({"Message":"refused )" + std::to_string(status) + R"("})";
            mServer.SetAnswer(row.method, row.scriptPath, Answer::Json(status, body));
            auto records = Fresh();
            size_t before = LinesWith(FailureLine(row, status, body));
            EXPECT_FALSE(row.call(*mService, *records));
            EXPECT_EQ(LinesWith(FailureLine(row, status, body)) - before, 1u);
        }
        mServer.ResetAnswer(row.method, row.scriptPath);
    }
}

TEST_F(Endpoint, AnswersThatCannotBeReadAreFailuresNotExceptions)
{
    Grant();
    for (const EndpointCase& row : Endpoints()) {
        for (const std::string& body : row.badBodies) {
            SCOPED_TRACE(row.name + " answered " + body);
            mServer.SetAnswer(row.method, row.scriptPath, Answer::Json(200, body));
            auto records = Fresh();
            size_t before = LinesWith(FailureLine(row, 200, body));
            bool ok = true;
            EXPECT_NO_THROW(ok = row.call(*mService, *records));
            EXPECT_FALSE(ok);
            EXPECT_EQ(LinesWith(FailureLine(row, 200, body)) - before, 1u);
        }
        mServer.ResetAnswer(row.method, row.scriptPath);
    }
}

// Operations that need a token and check for it fail silently; the others
// make no transfer and log their line with the status 0.
TEST_F(Endpoint, WithoutATokenNothingIsSent)
{
    for (const EndpointCase& row : Endpoints()) {
        if (!UsesToken(row.kind))
            continue;
        SCOPED_TRACE(row.name);
        auto records = Fresh();
        size_t before = LinesWith(FailureLine(row, 0, ""));
        EXPECT_FALSE(row.call(*mService, *records));
        bool checked = row.kind == Kind::BearerChecked || row.kind == Kind::Upload;
        EXPECT_EQ(LinesWith(FailureLine(row, 0, "")) - before, checked ? 0u : 1u);
    }
    for (const RecordedRequest& request : mServer.Requests())
        EXPECT_EQ(request.path, "/printapi/info/ping");
}

// A server that stops answering, or closes the connection without a word,
// ends the operation after the request limit with status 0.
TEST_F(Endpoint, StalledAndDroppedAnswersEndWithStatusZero)
{
    Grant();
    mService->SetTimeouts(5, 1, 5);
    const std::vector<std::string> chosen = {"GetCustomFields", "GetUser", "GetClientLogo", "SubmitSecureJobPayload"};
    for (const EndpointCase& row : Endpoints()) {
        if (std::find(chosen.begin(), chosen.end(), row.name) == chosen.end())
            continue;
        for (bool stall : {true, false}) {
            // libcurl averages an upload's speed over several seconds, so a
            // stall after a small upload takes that long to notice; the
            // transport's own tests cover it.
            if (stall && row.kind == Kind::Upload)
                continue;
            SCOPED_TRACE(row.name + (stall ? " stalled" : " dropped"));
            if (UsesToken(row.kind))
                Grant();  // a failed transfer forgets the token
            mServer.SetAnswer(row.method, row.scriptPath, stall ? Answer::Stalled() : Answer::Dropped());
            auto records = Fresh();
            size_t before = LinesWith(FailureLine(row, 0, ""));
            double seconds = WebServiceTests::SecondsTaken([&] { EXPECT_FALSE(row.call(*mService, *records)); });
            EXPECT_LT(seconds, 4.0);
            EXPECT_EQ(LinesWith(FailureLine(row, 0, "")) - before, 1u);
        }
        mServer.ResetAnswer(row.method, row.scriptPath);
        mServer.ReleaseStalls();
    }
}

}  // namespace
}  // namespace OperationTests
