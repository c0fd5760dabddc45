#pragma once

#include "Core/CVModels/JobMessage.h"
#include "tests/EndToEnd/ServerJobSummary.h"
#include "tests/StandInServer/StandInServer.h"
#include "tests/Support/ChildRecord.h"
#include "tests/Support/PrivateCupsd.h"
#include "tests/Support/TempRoot.h"

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace EndToEnd {

// How the wrapped backend of a queue gets the job data from CUPS: a raw
// queue hands the backend the spool file (argument 6); a queue whose PPD
// names a filter for raw data runs the filter and feeds the backend its
// output on standard input. The filter passes the data on as it is, or, as a
// driver's filter may, makes the job's copies in it.
enum class DataPath { SpoolFile, StandardInput, FilterMakesCopies };

// Whether a queue's backend is the hook wrapping the recording backend, or
// the recording backend alone (an untracked queue, for comparison).
enum class QueueKind { Tracked, Plain };

// What the server's rules decide for every job.
enum class Tracking {
    WithPopup,  // the job keeps its own track option: the client asks the user
    Silently,   // tracked without asking
    Cancel,     // the rules cancel the job
};

// What the headless client's user answers (see HeadlessClientMain.cpp).
struct ClientScript {
    std::string popups = "print";
    std::string messages = "go";
};

// The title of every alert of the client application, as xdotool searches
// for it.
inline constexpr const char* ClientAlertTitle = "^Quorvel Client$";

// A question of the rules: go on with the job (OK) or cancel it.
CVClientData::JobMessage ContinueOrCancel(std::string title, std::string text);

// The settings of one world.
struct WorldOptions {
    // Milliseconds of one of the hook's waiting seconds.
    int hookSecondMs = 50;
    // More environment for the backends (the recording backend's
    // CVK_RECORD_EXIT, for one).
    TestSupport::PrivateCupsd::Environment backendEnvironment{};
    // The cvkhook of an installation under the world's root (an absolute
    // path below it), which the tracked scheme's backend then links to, as
    // an administrator links it; empty for a copy of the build's cvkhook.
    std::string linkedHook{};
};

// The whole road of a print job on this machine without touching its own
// printing: a private filesystem root with the client's preferences, the
// loopback HTTPS stand-in of the accounting server, a private cupsd whose
// tracked queues run cvkhook wrapping the recording backend, and the headless
// client core of the current user as a child process. Jobs are submitted with
// lp. Everything goes with the object.
//
// The world's process takes the private root as its own (as TempRoot does),
// and gives it, the CUPS server and the server's CA to the client through
// the environment.
class EndToEndWorld {
public:
    static constexpr const char* TrackedScheme = "cvkrec";
    static constexpr const char* PlainScheme = "cvkplain";

    explicit EndToEndWorld(WorldOptions options = {});
    ~EndToEndWorld();
    EndToEndWorld(const EndToEndWorld&) = delete;
    EndToEndWorld& operator=(const EndToEndWorld&) = delete;

    // Empty when the world is up, else what failed.
    const std::string& Problem() const { return mstrProblem; }

    const TestSupport::TempRoot& Root() const { return mRoot; }
    StandIn::StandInServer& Server() { return mServer; }
    const TestSupport::PrivateCupsd& Cupsd() const { return mCupsd; }
    // cupsd stopped and started again (an update of cups): see PrivateCupsd.
    bool RestartCupsd() { return mCupsd.Restart(); }
    std::string User() const { return mstrUser; }

    // --- Preferences and the server ---
    // The client's preferences naming the stand-in; without the server
    // address when not complete.
    void WritePreferences(bool complete, bool debugLogging = true) const;
    // The rules' answer to every later job, priced per page (mono and colour),
    // with the messages for the user that the start rules send.
    static constexpr double MonoPageCost = 0.10;
    static constexpr double ColourPageCost = 0.50;
    void ScriptRules(Tracking tracking, double monoPageCost = MonoPageCost, double colourPageCost = ColourPageCost,
                     std::vector<CVClientData::JobMessage> startMessages = {});

    // The rules answer after this long from now on (the server is slow).
    void SetRulesDelay(std::chrono::milliseconds delay) { mRulesDelay = delay; }
    // Every record the server holds of a job: the rules' calls of the job's
    // last stage and the submissions of stored jobs, in the order received.
    std::vector<ServerJobSummary> Records(int jobId) const;

    // --- Queues and jobs ---
    // A queue of a colour duplex printer. extraArguments go to lpadmin.
    bool AddQueue(const std::string& name, QueueKind kind, DataPath path,
                  const std::vector<std::string>& extraArguments = {}) const;
    // lp of a raw job, with more lp options if given; its id, or -1.
    int Submit(const std::string& queue, const std::string& file, const std::string& title = "",
               const std::vector<std::string>& options = {}) const;
    bool WaitForJobState(int jobId, int state, std::chrono::milliseconds limit = std::chrono::seconds(30)) const;
    // What the wrapped (or plain) backend recorded of the job.
    TestSupport::ChildRecord BackendRecord(int jobId) const;
    bool BackendRan(int jobId) const;
    // The job as the server last received it (the last rules call for its
    // CUPS id, with the user its token was granted to), or none.
    std::optional<ServerJobSummary> ServerJob(int jobId) const;

    // --- The client ---
    // Starts the headless client and waits for its socket; false when it
    // did not come up.
    bool StartClient(const ClientScript& script = {});
    // The same with another client program: the command that runs it.
    bool StartClientProgram(const std::vector<std::string>& command);
    // SIGTERM and wait: the client's own shutdown. Its exit code, or -1.
    int StopClient();
    // SIGKILL: the client dies where it is.
    void KillClient();
    // SIGTERM, then SIGKILL after the pause, as a service manager's stop
    // time-out does.
    void TerminateThenKillClient(std::chrono::milliseconds pause);
    std::string ClientSocket() const;
    // The lines the client's user interface wrote.
    std::string UiLog() const;
    bool WaitForUiLog(const std::string& text, std::chrono::milliseconds limit = std::chrono::seconds(30)) const;

    // The log of cvkhook and the client (both run as the current user's
    // client or for that user's jobs).
    std::string QuorvelLog() const;

private:
    std::string mFilteredPpd(const std::string& filter) const;
    // The client's entry in the world's process table.
    std::string mClientProcessEntry() const;

    TestSupport::TempRoot mRoot;
    StandIn::StandInServer mServer;
    std::string mstrUser;
    TestSupport::PrivateCupsd mCupsd;
    std::string mstrProblem;
    pid_t mintClientPid = -1;
    std::chrono::milliseconds mRulesDelay{0};
};

}  // namespace EndToEnd
