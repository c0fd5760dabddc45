#include "tests/JobPipeline/PipelineFixture.h"

#include "Core/Services/CVTrackOption.h"

#include "Core/CVModels/LocalFiles/SecureFileHandler.h"
#include "Core/Services/JobHandler.h"
#include "Platform/UserAccount.h"
#include "tests/StandInServer/DefaultAnswers.h"

#include <gmock/gmock.h>

#include <cups/cups.h>

#include <charconv>
#include <filesystem>
#include <thread>

namespace PipelineTests {

namespace fs = std::filesystem;
using CVCoreDataServices::ClientEnvironment;
using CVCoreDataServices::ClientUICommunicationService;
using StandIn::Answer;
using StandIn::RecordedRequest;

namespace {

// A number of the request's query, or -1.
int QueryNumber(const RecordedRequest& request, const char* name)
{
    std::string text = request.QueryValue(name);
    int value = -1;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string Dump(const CVClientData::SerializableModel& record)
{
    nlohmann::json json = nlohmann::json::object();
    record.ToJson(json);
    return json.dump();
}

// The real job thread, telling the test when its work is done.
class ObservedJobHandler final : public CVCoreDataServices::JobHandler {
public:
    ObservedJobHandler(uint32_t jobId, std::shared_ptr<CVCoreDataServices::HookConnection> connection,
                       CVCoreDataServices::IJobController& controller,
                       CVCoreDataServices::IUIController& userInterface, CVClientData::WebDataService& webService,
                       std::function<void(uint32_t)> finished)
        : JobHandler(jobId, std::move(connection), controller, userInterface, webService),
          mintJobId(jobId),
          mFinished(std::move(finished))
    {
    }
    ~ObservedJobHandler() override { Terminate(true); }

    int Run() override
    {
        int result = JobHandler::Run();
        mFinished(mintJobId);
        return result;
    }

private:
    uint32_t mintJobId;
    std::function<void(uint32_t)> mFinished;
};

}  // namespace

void PipelineTest::SetUp()
{
    ASSERT_TRUE(mCupsd.Running()) << mCupsd.ErrorLog();
    // cupsGetPPD copies the PPD into the temporary folder.
    setenv("TMPDIR", mRoot.Host("/tmp").c_str(), 1);
    mCupsd.UseAsDefaultServer();
    ASSERT_TRUE(mCupsd.InstallRecordingBackend("cvkrec"));
    ASSERT_TRUE(mCupsd.AddQueue(Queue, "cvkrec://printer.example/front",
                                std::string(CVK_TEST_DATA_DIR) + "/acme-color-duplex.ppd"));
    mstrJobFile = mRoot.Path() + "/job.prn";
    TestSupport::WriteFileText(mstrJobFile, HpglJob(2));

    mService = StandInClient(mRoot, mServer, mClock);

    mEnvironment.UserName = Platform::CurrentUserName();
    mEnvironment.JobCacheFolder = mRoot.Folder(Platform::Folder::UserData);
    mEnvironment.OperatingSystem = ClientEnvironment::CurrentOperatingSystemText();
    mEnvironment.HostName = "workstation";
    fs::create_directories(mEnvironment.JobCacheFolder);
    MakeController();
    ScriptRules([](int, int stop) { return GoOn(stop); });
}

void PipelineTest::MakeController()
{
    if (mController)
        mController->Shutdown();
    mController.reset();
    mPendingStore = nullptr;
    mController = std::make_unique<ClientUICommunicationService>(mUI, mEnvironment, *mService, mClock);
    mController->SetJobThreadFactory([this](uint32_t jobId, std::shared_ptr<CVCoreDataServices::HookConnection> connection,
                                            CVCoreDataServices::IJobController& controller,
                                            CVCoreDataServices::IUIController& userInterface,
                                            CVClientData::WebDataService& webService) -> std::unique_ptr<SWThread> {
        return std::make_unique<ObservedJobHandler>(jobId, std::move(connection), controller, userInterface, webService,
                                                    [this](uint32_t id) { mJobThreadFinished(id); });
    });
    // Every pop-up calls back into the controller, as the window does, so a
    // lock held by the job thread across the pop-up deadlocks the test.
    mUI.DuringPopups([this] {
        mController->GetBatchUser();
        mController->CountPendingJobs();
        mController->CurrentDisconnectedJobsExceedLimit(1);
    });
}

std::unique_ptr<CVClientData::WebDataService> StandInClient(const TestSupport::TempRoot& root,
                                                            const StandIn::StandInServer& server,
                                                            const CVClientData::IClock& clock)
{
    root.WriteClientPreferences({{"ClientServicesUrl", server.BaseUrl()},
                                 {"ClientDirectory", root.Path() + "/client"},
                                 {"DebugLogging", "1"}});
    auto service = std::make_unique<CVClientData::WebDataService>(clock);
    service->SetCaBundle(server.CaFile());
    service->SetTimeouts(5, 5, 5);
    return service;
}

void PipelineTest::TearDown()
{
    if (mController)
        mController->Shutdown();
    unsetenv("TMPDIR");
}

int PipelineTest::SubmitHeldJob(const std::vector<std::string>& options)
{
    std::vector<std::string> all{"-H", "hold", "-o", "raw", "-t", "Quarterly Report"};
    all.insert(all.end(), options.begin(), options.end());
    return mCupsd.SubmitJob(Queue, mstrJobFile, all);
}

// lp passes no "job-impressions"; a Print-Job request of our own does.
int PipelineTest::SubmitCountedHeldJob(int impressions)
{
    std::string resource = std::string("/printers/") + Queue;
    std::string uri = "ipp://localhost" + resource;
    ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, "Counted Report");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                 "application/vnd.cups-raw");
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-impressions", impressions);
    ippAddString(request, IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-hold-until", nullptr, "indefinite");
    ipp_t* response = cupsDoFileRequest(CUPS_HTTP_DEFAULT, request, resource.c_str(), mstrJobFile.c_str());
    int jobId = -1;
    if (response != nullptr) {
        if (ipp_attribute_t* id = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER))
            jobId = ippGetInteger(id, 0);
        ippDelete(response);
    }
    return jobId;
}

std::string PipelineTest::PayloadPath(int jobId) const
{
    return SecureFileHandler().GetFullPathToSecureFile(std::to_string(jobId));
}

void PipelineTest::WritePayload(int jobId, const std::string& content) const
{
    TestSupport::WriteFileText(PayloadPath(jobId), content);
}

bool PipelineTest::PayloadExists(int jobId) const
{
    return fs::exists(PayloadPath(jobId));
}

JobRun PipelineTest::RunJob(int jobId, const std::string& printData, FakeHook::PageReply reply)
{
    FakeHook hook(static_cast<uint32_t>(jobId), printData, reply);
    mController->HandleHookConnection(hook.TakeClientEnd());
    JobRun run;
    run.jobId = jobId;
    run.closed = hook.WaitForClose() && WaitForJobThread(jobId);
    run.received = hook.Received();
    run.finalAnswers = hook.FinalAnswers();
    run.askedForPageSets = hook.AskedForPageSets();
    return run;
}

bool PipelineTest::WaitForJobThread(int jobId, std::chrono::milliseconds limit)
{
    std::unique_lock lock(mFinishedLock);
    return mFinishedChanged.wait_for(lock, limit, [&] { return mFinishedJobs.contains(static_cast<uint32_t>(jobId)); });
}

void PipelineTest::mJobThreadFinished(uint32_t jobId)
{
    std::lock_guard lock(mFinishedLock);
    mFinishedJobs.insert(jobId);
    mFinishedChanged.notify_all();
}

void PipelineTest::ExpectCancelled(const JobRun& run) const
{
    EXPECT_THAT(run.finalAnswers, ::testing::ElementsAre("RX"));
    EXPECT_TRUE(CancelledInCups(run.jobId));
}

bool PipelineTest::CancelledInCups(int jobId) const
{
    return mCupsd.WaitForJobState(jobId, IPP_JSTATE_CANCELED, std::chrono::seconds(5));
}

bool PipelineTest::StillHeldInCups(int jobId) const
{
    return mCupsd.JobState(jobId) == IPP_JSTATE_HELD;
}

void PipelineTest::ScriptRules(RulesScript script)
{
    mServer.SetResponder("PUT", "printapi/rules/process", [script = std::move(script)](const RecordedRequest& request) {
        std::optional<RulesAnswer> answer =
            script(QueryNumber(request, "startStage"), QueryNumber(request, "stopAfterStage"));
        return answer ? Answer::Json(200, Dump(*answer)) : Answer::Json(500, R"({"Message":"rules failed"})");
    });
}

RulesAnswer GoOn(int stopAfterStage)
{
    RulesAnswer answer;
    answer.ProcessedToStage = stopAfterStage;
    return answer;
}

RulesScript WithPopup()
{
    return [](int, int stop) {
        RulesAnswer answer = GoOn(stop);
        answer.TrackOptionSet = true;
        answer.TrackOption = CVTrackOptionTrackWithPopup;
        return std::optional(answer);
    };
}

CVClientData::JobMessage Message(int type, const std::string& title, int source)
{
    CVClientData::JobMessage message;
    message.Type = type;
    message.Title = title;
    message.Message = title + " text";
    message.Source = source;
    message.CustomEventMessage = title + " event";
    return message;
}

void PipelineTest::ScriptUser(const CVClientData::User& user)
{
    mServer.SetResponder("GET", "printapi/users", [user](const RecordedRequest& request) {
        CVClientData::User answer = user;
        std::string header = request.Header("Authorization");
        answer.ServiceAuthToken = header.size() > 7 ? header.substr(7) : std::string();
        return Answer::Json(200, Dump(answer));
    });
}

CVClientData::User PipelineTest::StandardUser()
{
    CVClientData::User user;
    user.Id = 4711;
    user.DisplayName = "Alice Example";
    user.NetworkName = Platform::CurrentUserName();
    user.Type = CVClientData::User::CostBalance;
    user.BWBalanceRemaining = 50.0;
    user.ColorBalanceRemaining = 50.0;
    user.MaxPendingJobs = 0;
    user.AllowSnooze = true;
    return user;
}

void PipelineTest::ScriptSettings(const nlohmann::json& changes)
{
    nlohmann::json settings = nlohmann::json::parse(StandIn::DefaultClientSettingsJson());
    settings.update(changes);
    mServer.SetAnswer("GET", "printapi/settings/*", Answer::Json(200, settings.dump()));
}

std::vector<std::string> PipelineTest::RulesCalls() const
{
    std::vector<std::string> calls;
    for (const RecordedRequest& request : mServer.RequestsTo("PUT", "printapi/rules/process"))
        calls.push_back(request.QueryValue("startStage") + "-" + request.QueryValue("stopAfterStage"));
    return calls;
}

nlohmann::json PipelineTest::LastRulesJob() const
{
    std::vector<RecordedRequest> calls = mServer.RequestsTo("PUT", "printapi/rules/process");
    return calls.empty() ? nlohmann::json() : nlohmann::json::parse(calls.back().body, nullptr, false);
}

int PipelineTest::PagesOf(const nlohmann::json& job)
{
    int pages = 0;
    if (job.is_object() && job.contains("Costing"))
        for (const nlohmann::json& pageSet : job["Costing"].value("PageSets", nlohmann::json::array()))
            pages += pageSet.value("BWPages", 0) + pageSet.value("ColorPages", 0);
    return pages;
}

std::vector<int> PipelineTest::CancelEventReasons() const
{
    std::vector<int> reasons;
    for (const RecordedRequest& request : mServer.Requests()) {
        constexpr std::string_view prefix = "/printapi/jobs/cancelevent/";
        if (request.method != "POST" || !request.path.starts_with(prefix))
            continue;
        int reason = -1;
        std::from_chars(request.path.data() + prefix.size(), request.path.data() + request.path.size(), reason);
        reasons.push_back(reason);
    }
    return reasons;
}

CountingPendingStore& PipelineTest::UsePendingStore(unsigned int pending)
{
    auto store = std::make_unique<CountingPendingStore>(pending);
    mPendingStore = store.get();
    mController->SetDisconnectedJobStore(std::move(store));
    return *mPendingStore;
}

std::string PipelineTest::LogText() const
{
    return mRoot.ClientLogText();
}

}  // namespace PipelineTests
