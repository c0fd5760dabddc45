#include "tests/EndToEnd/EndToEndWorld.h"

#include "Core/CVModels/CostingOptions.h"
#include "Core/CVModels/WebDataServiceProcessJobResult.h"
#include "Platform/ClientSocket.h"
#include "Platform/UserAccount.h"
#include "tests/StandInServer/DefaultAnswers.h"
#include "tests/Support/ChildProgram.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>

namespace fs = std::filesystem;

namespace EndToEnd {

namespace {

constexpr const char* kPassThroughFilter = "cvkpassthrough";
constexpr const char* kCopiesFilter = "cvkcopies";
// The environment values the world sets for its own process and children.
constexpr const char* kOwnVariables[] = {"CVK_ROOT", "CVK_CA_BUNDLE", "CUPS_SERVER", "TMPDIR"};
constexpr int kTrackSilently = 2;
constexpr int kTrackCancel = 4;
constexpr int kCancelReasonByRules = 3;

// What cupsd gives the hook: the private root, a launcher that starts
// nothing (the client is started by the world, never through systemctl) and
// the length of the hook's waiting second.
TestSupport::PrivateCupsd::Environment BackendEnvironment(const TestSupport::TempRoot& root,
                                                          const WorldOptions& options)
{
    TestSupport::PrivateCupsd::Environment environment{
        {"CVK_ROOT", root.Path()},
        {"CVK_CLIENT_LAUNCHER", "/bin/true"},
        {"CVK_HOOK_SECOND_MS", std::to_string(options.hookSecondMs)},
    };
    environment.insert(environment.end(), options.backendEnvironment.begin(), options.backendEnvironment.end());
    return environment;
}

// Copies a program with the given mode; false on failure.
bool InstallProgram(const std::string& from, const std::string& to, fs::perms mode)
{
    std::error_code error;
    fs::create_directories(fs::path(to).parent_path(), error);
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    if (!error)
        fs::permissions(to, mode, error);
    return !error;
}

// Waits for a child without blocking; true once it has ended.
bool HasEnded(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

}  // namespace

CVClientData::JobMessage ContinueOrCancel(std::string title, std::string text)
{
    CVClientData::JobMessage question;
    question.Type = CVClientData::JobMessage::ContinueOrCancel;
    question.Title = std::move(title);
    question.Message = std::move(text);
    return question;
}

EndToEndWorld::EndToEndWorld(WorldOptions options)
    : mstrUser(Platform::CurrentUserName()), mCupsd(BackendEnvironment(mRoot, options))
{
    if (!mCupsd.Running()) {
        mstrProblem = "the private cupsd did not start: " + mCupsd.ErrorLog();
        return;
    }
    // The hook as the tracked scheme's backend, the queue's own backend in
    // the hidden folder beside the backend folder, as an installation has it.
    std::error_code linkError;
    if (!options.linkedHook.empty())
        fs::create_symlink(mRoot.Host(options.linkedHook), mCupsd.BackendFolder() + "/" + TrackedScheme, linkError);
    bool hookInPlace = options.linkedHook.empty() ? mCupsd.InstallBackend(TrackedScheme, CVK_HOOK_PROGRAM, 0700)
                                                  : !linkError;
    bool installed = hookInPlace
                     && InstallProgram(CVK_RECORDING_BACKEND,
                                       mCupsd.ServerBin() + "/.cvkbackend/" + TrackedScheme, fs::perms(0700))
                     && mCupsd.InstallRecordingBackend(PlainScheme, 0700)
                     && InstallProgram(CVK_PASSTHROUGH_FILTER, mCupsd.ServerBin() + "/filter/" + kPassThroughFilter,
                                       fs::perms(0755))
                     && InstallProgram(CVK_COPIES_FILTER, mCupsd.ServerBin() + "/filter/" + kCopiesFilter,
                                       fs::perms(0755));
    if (!installed) {
        mstrProblem = "the backends or the filter could not be installed";
        return;
    }
    // The hook copies each job's spool file from CUPS's request root.
    std::error_code error;
    fs::create_directories(mRoot.Host("/var/spool"), error);
    fs::create_directory_symlink(mCupsd.Folder() + "/spool", mRoot.Host("/var/spool/cups"), error);
    fs::create_directories(mRoot.Folder(Platform::Folder::SystemData), error);

    WritePreferences(true);
    ScriptRules(Tracking::WithPopup);

    // The client started later inherits these.
    setenv("CVK_ROOT", mRoot.Path().c_str(), 1);
    setenv("CVK_CA_BUNDLE", mServer.CaFile().c_str(), 1);
    setenv("CUPS_SERVER", mCupsd.Address().c_str(), 1);
    setenv("TMPDIR", mRoot.Host("/tmp").c_str(), 1);
}

EndToEndWorld::~EndToEndWorld()
{
    StopClient();
    for (const char* name : kOwnVariables)
        unsetenv(name);
}

void EndToEndWorld::WritePreferences(bool complete, bool debugLogging) const
{
    std::string debug = debugLogging ? "1" : "0";
    if (complete)
        mRoot.WriteClientPreferences({{"ClientServicesUrl", mServer.BaseUrl()},
                                      {"ClientDirectory", "/usr/lib/quorvel"},
                                      {"DebugLogging", debug}});
    else
        mRoot.WriteClientPreferences({{"ClientDirectory", "/usr/lib/quorvel"}, {"DebugLogging", debug}});
}

// The rules answer each stage as asked; the start stage sets the tracking
// and the prices, and sends the messages.
void EndToEndWorld::ScriptRules(Tracking tracking, double monoPageCost, double colourPageCost,
                                std::vector<CVClientData::JobMessage> startMessages)
{
    mServer.SetResponder("PUT", "printapi/rules/process", [=, this](const StandIn::RecordedRequest& request) {
        CVClientData::WebDataServiceProcessJobResult answer;
        std::string stop = request.QueryValue("stopAfterStage");
        answer.ProcessedToStage = stop.empty() ? 0 : std::stoi(stop);
        if (request.QueryValue("startStage") == "0")
            answer.Messages = startMessages;
        answer.PricingChanged = true;
        answer.PriceOption = CVClientData::PricePerPage;
        answer.BWUnitCost = monoPageCost;
        answer.ColorUnitCost = colourPageCost;
        if (tracking == Tracking::Silently) {
            answer.TrackOptionSet = true;
            answer.TrackOption = kTrackSilently;
        } else if (tracking == Tracking::Cancel) {
            answer.TrackOptionSet = true;
            answer.TrackOption = kTrackCancel;
            answer.CancelReason = kCancelReasonByRules;
        }
        nlohmann::json body = nlohmann::json::object();
        answer.ToJson(body);
        StandIn::Answer reply = StandIn::Answer::Json(200, body.dump());
        reply.delay = mRulesDelay;
        return reply;
    });
}

bool EndToEndWorld::AddQueue(const std::string& name, QueueKind kind, DataPath path,
                             const std::vector<std::string>& extraArguments) const
{
    std::string scheme = kind == QueueKind::Tracked ? TrackedScheme : PlainScheme;
    std::string ppd = path == DataPath::StandardInput       ? mFilteredPpd(kPassThroughFilter)
                      : path == DataPath::FilterMakesCopies ? mFilteredPpd(kCopiesFilter)
                                                            : std::string(CVK_COLOUR_PPD);
    return mCupsd.AddQueue(name, scheme + "://printer.example/" + name, ppd, extraArguments);
}

// The colour duplex printer's PPD with a filter for raw jobs.
std::string EndToEndWorld::mFilteredPpd(const std::string& filter) const
{
    std::string path = mRoot.Path() + "/" + filter + ".ppd";
    if (!fs::exists(path))
        TestSupport::WriteFileText(path, TestSupport::ReadFileText(CVK_COLOUR_PPD) + "*cupsFilter: \"application/vnd.cups-raw 0 "
                                             + filter + "\"\n");
    return path;
}

int EndToEndWorld::Submit(const std::string& queue, const std::string& file, const std::string& title,
                          const std::vector<std::string>& moreOptions) const
{
    std::vector<std::string> options{"-o", "raw"};
    options.insert(options.end(), moreOptions.begin(), moreOptions.end());
    if (!title.empty())
        options.insert(options.end(), {"-t", title});
    return mCupsd.SubmitJob(queue, file, options);
}

bool EndToEndWorld::WaitForJobState(int jobId, int state, std::chrono::milliseconds limit) const
{
    return mCupsd.WaitForJobState(jobId, state, limit);
}

TestSupport::ChildRecord EndToEndWorld::BackendRecord(int jobId) const
{
    return TestSupport::ReadChildRecord(mCupsd.RecordFolder(), std::to_string(jobId));
}

bool EndToEndWorld::BackendRan(int jobId) const
{
    return fs::exists(mCupsd.RecordFolder() + "/" + std::to_string(jobId) + ".txt");
}

std::optional<ServerJobSummary> EndToEndWorld::ServerJob(int jobId) const
{
    std::optional<ServerJobSummary> last;
    for (const StandIn::RecordedRequest& request : mServer.RequestsTo("PUT", "printapi/rules/process")) {
        nlohmann::json job = nlohmann::json::parse(request.body, nullptr, false);
        if (!job.is_object() || job.value("CupsId", 0ull) != static_cast<unsigned long long>(jobId))
            continue;
        last = SummariseServerJob(job);
        if (last)
            last->user = StandIn::UserOfToken(StandIn::BearerToken(request));
    }
    return last;
}

std::vector<ServerJobSummary> EndToEndWorld::Records(int jobId) const
{
    constexpr const char* kLastStage = "4";
    std::vector<ServerJobSummary> records;
    for (const StandIn::RecordedRequest& request : mServer.Requests()) {
        bool endRules = request.method == "PUT" && request.path == "/printapi/rules/process"
                        && request.QueryValue("stopAfterStage") == kLastStage;
        bool stored = request.method == "POST" && request.path == "/printapi/disconnectedjobs";
        nlohmann::json job = nlohmann::json::parse(request.body, nullptr, false);
        if ((!endRules && !stored) || !job.is_object()
            || job.value("CupsId", 0ull) != static_cast<unsigned long long>(jobId))
            continue;
        if (auto summary = SummariseServerJob(job))
            records.push_back(*summary);
    }
    return records;
}

bool EndToEndWorld::StartClient(const ClientScript& script)
{
    return StartClientProgram({CVK_HEADLESS_CLIENT, "--popups", script.popups, "--messages", script.messages,
                               "--ui-log", mRoot.Path() + "/ui.log"});
}

bool EndToEndWorld::StartClientProgram(const std::vector<std::string>& command)
{
    if (mintClientPid > 0)
        return false;
    mintClientPid = TestSupport::StartProgram(command, mRoot.Path() + "/client.out");
    if (mintClientPid < 0)
        return false;
    // The hook looks for the client in the world's own process table, which
    // holds this client alone.
    std::error_code error;
    fs::create_directories(mRoot.Host("/proc"), error);
    fs::create_directory_symlink("/proc/" + std::to_string(mintClientPid), mClientProcessEntry(), error);
    bool listening = TestSupport::WaitUntil(
        [&] { return fs::exists(ClientSocket()) || HasEnded(mintClientPid); }, std::chrono::seconds(30));
    if (!listening || !fs::exists(ClientSocket())) {
        KillClient();
        return false;
    }
    return true;
}

int EndToEndWorld::StopClient()
{
    if (mintClientPid <= 0)
        return -1;
    int status = TestSupport::StopProgram(mintClientPid, std::chrono::seconds(20));
    fs::remove(mClientProcessEntry());
    mintClientPid = -1;
    return status;
}

void EndToEndWorld::KillClient()
{
    if (mintClientPid <= 0)
        return;
    kill(mintClientPid, SIGKILL);
    int status = 0;
    while (waitpid(mintClientPid, &status, 0) < 0 && errno == EINTR) {
    }
    fs::remove(mClientProcessEntry());
    mintClientPid = -1;
}

void EndToEndWorld::TerminateThenKillClient(std::chrono::milliseconds pause)
{
    if (mintClientPid <= 0)
        return;
    kill(mintClientPid, SIGTERM);
    std::this_thread::sleep_for(pause);
    KillClient();
}

std::string EndToEndWorld::ClientSocket() const
{
    auto user = Platform::LookupUser(mstrUser);
    std::vector<std::string> places = user ? Platform::ClientSocketPaths(*user) : std::vector<std::string>{};
    for (const std::string& place : places)
        if (fs::exists(place))
            return place;
    return places.empty() ? std::string() : places.front();
}

std::string EndToEndWorld::mClientProcessEntry() const
{
    return mRoot.Host("/proc/" + std::to_string(mintClientPid));
}

std::string EndToEndWorld::UiLog() const
{
    return TestSupport::ReadFileText(mRoot.Path() + "/ui.log");
}

bool EndToEndWorld::WaitForUiLog(const std::string& text, std::chrono::milliseconds limit) const
{
    return TestSupport::WaitUntil([&] { return UiLog().find(text) != std::string::npos; }, limit);
}

std::string EndToEndWorld::QuorvelLog() const
{
    return mRoot.ClientLogText();
}

}  // namespace EndToEnd
