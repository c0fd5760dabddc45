#pragma once

#include "Core/CVModels/User.h"
#include "Core/CVModels/WebDataServiceProcessJobResult.h"
#include "Core/Services/ClientUICommunicationService.h"
#include "Core/Services/IDisconnectedJobStore.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "tests/JobPipeline/FakeHook.h"
#include "tests/StandInServer/ManualClock.h"
#include "tests/StandInServer/StandInServer.h"
#include "tests/Support/PrivateCupsd.h"
#include "tests/Support/ScriptedUserInterface.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace PipelineTests {

using RulesAnswer = CVClientData::WebDataServiceProcessJobResult;
using TestSupport::ScriptedUserInterface;
// The rules' answer to one call, from the stages asked for; none: the
// server fails the call.
using RulesScript = std::function<std::optional<RulesAnswer>(int startStage, int stopAfterStage)>;

// A rules answer that lets the job go on, up to the stage asked for.
RulesAnswer GoOn(int stopAfterStage);
// Rules that let every job go on, each with a pop-up for its user.
RulesScript WithPopup();
// A server message of a type, with texts made from its title.
CVClientData::JobMessage Message(int type, const std::string& title, int source = 1);

// The client's preferences in the root name the stand-in (debug lines on),
// and a web service that trusts the stand-in's CA and reads the clock.
std::unique_ptr<CVClientData::WebDataService> StandInClient(const TestSupport::TempRoot& root,
                                                            const StandIn::StandInServer& server,
                                                            const CVClientData::IClock& clock);

// A store of pending jobs that only counts: what the job thread asks of the
// store, without the store (built elsewhere).
class CountingPendingStore final : public CVCoreDataServices::IDisconnectedJobStore {
public:
    explicit CountingPendingStore(unsigned int pending) : mintPending(pending) {}

    void Initialize(const CVClientData::User&, const CVClientData::ClientSettings&) override {}
    void HandleDisconnectedJobs(const CVClientData::User&, const CVClientData::ClientSettings&) override {}
    void UpdateDueToSnooze(const CVClientData::User&, const CVClientData::ClientSettings&) override { ++mintSnoozeUpdates; }
    void ShowPendingJobsPopup(const CVClientData::ClientSettings&) override {}
    void ClearPendingJobsList() override {}
    bool HasMoreJobsThan(int n) override { return n > 0 && mintPending >= static_cast<unsigned int>(n); }
    unsigned int GetNumberOfPendingJobs() override { return mintPending; }
    void DeleteAllJobs() override {}

    int SnoozeUpdates() const { return mintSnoozeUpdates.load(); }

private:
    unsigned int mintPending;
    std::atomic<int> mintSnoozeUpdates{0};
};

// What one job did, as the hook saw it.
struct JobRun {
    int jobId = 0;
    std::vector<std::string> received;      // every message the hook received
    std::vector<std::string> finalAnswers;  // "RZ" and "RX" among them
    bool askedForPageSets = false;
    bool closed = false;                    // the client closed the connection
};

// One test's world: a private root whose preferences name a loopback HTTPS
// stand-in of the server, a private cupsd with a colour queue whose backend
// records what it prints, the web service, the scripted user interface and the
// real job controller making a JobHandler for each job. Jobs are real held
// CUPS jobs, handed to the controller through a fake hook.
class PipelineTest : public ::testing::Test {
protected:
    static constexpr const char* Queue = "Front_Desk";

    // Runs a job whose questions are held, answers the pop-up (when it asks
    // first) with Cancel, and checks that while the alert telling of the
    // cancel is still open the hook is answered and the job cancelled in CUPS.
    void ExpectEndedBeforeTheAlert(bool popupFirst);

    void SetUp() override;
    void TearDown() override;

    // Makes the job controller (again, after shutting down the one before,
    // as a client that is started anew), with the job threads observed.
    void MakeController();

    // A held raw job on the queue; its CUPS id (or -1). CUPS knows no page
    // count for it, as for every raw job on this system.
    int SubmitHeldJob(const std::vector<std::string>& options = {});
    // A held raw job whose submitter told CUPS its page count, so that CUPS
    // reports the count ("job-impressions").
    int SubmitCountedHeldJob(int impressions);

    // The secure-release copy that the hook leaves for the client.
    std::string PayloadPath(int jobId) const;
    void WritePayload(int jobId, const std::string& content) const;
    bool PayloadExists(int jobId) const;

    // Announces the job through a fake hook, lets the controller start its
    // job thread and waits until that thread has closed the connection.
    JobRun RunJob(int jobId, const std::string& printData = HpglJob(2),
                  FakeHook::PageReply reply = FakeHook::PageReply::PageSets);

    // The job was answered 'R','X' once and cancelled in CUPS.
    void ExpectCancelled(const JobRun& run) const;

    // Whether CUPS cancelled the job (waits a moment for the state to settle).
    bool CancelledInCups(int jobId) const;
    bool StillHeldInCups(int jobId) const;

    // --- The server ---
    // The rules answer every call from the script.
    void ScriptRules(RulesScript script);
    // The user the server returns for every token.
    void ScriptUser(const CVClientData::User& user);
    static CVClientData::User StandardUser();
    // Changes to the default client settings.
    void ScriptSettings(const nlohmann::json& changes);
    // The rules calls so far, as "start-stop".
    std::vector<std::string> RulesCalls() const;
    // The job as the last rules call sent it.
    nlohmann::json LastRulesJob() const;
    // The pages of a job as sent to the server (all page sets).
    static int PagesOf(const nlohmann::json& job);
    // The cancel events so far, as their "reason" numbers.
    std::vector<int> CancelEventReasons() const;

    // Moves time on past the reuse of ping answers.
    void ForgetPing() { mClock.Advance(60); }

    // Installs a pending-job store that reports this many jobs; before any job.
    CountingPendingStore& UsePendingStore(unsigned int pending);

    std::string LogText() const;

    // Waits until the job's thread has returned from its work.
    bool WaitForJobThread(int jobId, std::chrono::milliseconds limit = std::chrono::seconds(60));

    TestSupport::TempRoot mRoot;
    StandIn::StandInServer mServer;
    StandIn::ManualClock mClock;
    TestSupport::PrivateCupsd mCupsd;
    std::unique_ptr<CVClientData::WebDataService> mService;
    ScriptedUserInterface mUI;
    CVCoreDataServices::ClientEnvironment mEnvironment;
    std::unique_ptr<CVCoreDataServices::ClientUICommunicationService> mController;
    CountingPendingStore* mPendingStore = nullptr;  // owned by the controller
    std::string mstrJobFile;

private:
    void mJobThreadFinished(uint32_t jobId);

    std::mutex mFinishedLock;
    std::condition_variable mFinishedChanged;
    std::set<uint32_t> mFinishedJobs;
};

}  // namespace PipelineTests
