#pragma once

#include "Core/Services/IUIController.h"
#include "Core/Services/IUIWaitCanceller.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace PipelineTests {

// A user interface whose answers come from a script, given on a thread of its
// own as the real windows answer on the main thread: a call from a job thread
// waits until that thread has answered. A script callback may call back into
// the job controller from there, as the windows do, so a lock held across a
// user-interface call deadlocks the test.
class ScriptedUserInterface final : public CVCoreDataServices::IUIController,
                                    public CVCoreDataServices::IUIWaitCanceller {
public:
    // One call as the user interface saw it.
    struct Call {
        std::string kind;  // "message", "secure", "popup", "prompt", "batchStarted", "batchEnded", "pending",
                           // "pendingPopup"
        std::string title;
        std::string text;
        int32_t type = 0;  // a message's type; the pending-job state; the jobs a pending-jobs pop-up shows
        int32_t reason = 0;  // the message's cancellation reason
        std::string event;   // the message's custom event message
    };

    // What the user does in one pop-up.
    struct PopupAnswer {
        bool print = true;   // Print (or Snooze); false: Cancel
        bool snooze = false;
        std::function<void(ClientJob&)> edit;  // entries written into the job
        bool fail = false;  // the call fails with an exception on the job thread after the answer

        static PopupAnswer Print(std::function<void(ClientJob&)> entries = {}) { return {true, false, std::move(entries), false}; }
        static PopupAnswer Cancel() { return {false, false, {}, false}; }
        static PopupAnswer Snooze() { return {true, true, {}, false}; }
        static PopupAnswer Failing() { return {true, false, {}, true}; }
    };

    ScriptedUserInterface();
    ~ScriptedUserInterface() override;

    // Answers of the job messages, in turn; later ones go on with the job.
    void AnswerMessages(std::vector<bool> answers);
    // Pop-up answers, in turn; later pop-ups print.
    void AnswerPopups(std::vector<PopupAnswer> answers);
    // Runs on the user-interface thread during every pop-up, before it answers.
    void DuringPopups(std::function<void()> callback);
    // The user's choices in every pending-jobs pop-up (a job is released by
    // clearing its "DelayedJob" flag), on the user-interface thread.
    void DuringPendingPopups(std::function<void(CVClientData::PendingJobList&)> choose);

    std::vector<Call> Calls() const;
    std::vector<Call> CallsOf(const std::string& kind) const;

    // IUIController
    bool PromptForAuthentication(CVClientData::User& user, CVClientData::WebDataService& service,
                                 CVClientData::ClientSettings& settings,
                                 CVCoreDataServices::AuthenticatedOperationType operation) override;
    bool DisplayJobMessage(UIMessage& message) override;
    bool ShowPopup(ClientJob& job, CVClientData::WebDataService& service,
                   CVClientData::ClientSettings& settings) override;
    bool ShowPendingJobsPopup(CVClientData::PendingJobList& jobs, CVClientData::WebDataService& service,
                              const CVClientData::ClientSettings& settings) override;
    void BatchStarted() override;
    void BatchEnded() override;
    void HavePendingJobs(CVCoreDataServices::PendingJobsType type) override;
    void SetUsingBalances(bool usingBalances) override;
    std::string GetProductName() override;
    std::string GetLocalizedString(CVCoreDataServices::CVLocalizedStringType type) override;
    void DisplaySecureMessage(UIMessage& message) override;

    // IUIWaitCanceller
    void CancelWaitsForShutdown() override;

private:
    struct Pending {
        std::function<void()> work;
        bool done = false;
        bool dropped = false;
    };

    // Runs the work on the user-interface thread and waits for it; after
    // CancelWaitsForShutdown, answers "closed" without running it.
    bool mOnUserInterfaceThread(const std::function<bool()>& work, bool closed);
    void mRecord(std::string kind, std::string title = {}, std::string text = {}, int32_t type = 0,
                 int32_t reason = 0, std::string event = {});
    void mServe();

    mutable std::mutex mLock;
    std::condition_variable mWake;
    std::deque<std::shared_ptr<Pending>> mQueue;
    bool mblnStopping = false;
    bool mblnCancelled = false;

    // Used on the user-interface thread only, once set.
    std::deque<bool> mMessageAnswers;
    std::deque<PopupAnswer> mPopupAnswers;
    std::function<void()> mDuringPopups;
    std::function<void(CVClientData::PendingJobList&)> mDuringPendingPopups;

    mutable std::mutex mCallsLock;
    std::vector<Call> mvecCalls;

    std::thread mThread;  // last: started once everything above exists
};

}  // namespace PipelineTests
