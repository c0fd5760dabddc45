#pragma once

#include "Core/Services/IUIController.h"
#include "Core/Services/IUIWaitCanceller.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace TestSupport {

// The user interface of the tests and of the headless client: it behaves as
// the application's bridge does. It has a main thread of its own; every call
// from another thread is carried there and waits until it has run (a call on
// the main thread runs at once; GetLocalizedString never changes thread).
// Questions are answered from a script, or held until the test answers them;
// CancelWaitsForShutdown makes every wait return as a closed window does and
// later calls answer so without waiting.
//
// Every call is recorded, and with WriteCallsTo also written as one line to a
// file (see Call::Line), so that a test in another process can watch it.
class ScriptedUserInterface final : public CVCoreDataServices::IUIController,
                                    public CVCoreDataServices::IUIWaitCanceller {
public:
    // One call as the user interface saw it. Questions: "prompt", "message",
    // "popup", "pendingPopup", "secure"; notices: "batchStarted",
    // "batchEnded", "pending", "usingBalances".
    struct Call {
        std::string kind;
        std::string title;   // the message's title; the pop-up's document
        std::string text;    // the message's text
        int32_t type = 0;    // the message's type; the pending-job state; the pending jobs shown; balances 0/1
        int32_t reason = 0;  // the message's cancellation reason
        std::string event;   // the message's custom event message
        std::string answer;  // "print", "cancel", "snooze", "go", "stop", "declined", "shown", "waiting"

        // A call of the kind with the title, the answer or the state given.
        static Call Of(std::string kind, std::string title, std::string answer);
        static Call Notice(std::string kind, int32_t state = 0);
        // A message's call with everything the message holds.
        static Call OfMessage(std::string kind, const UIMessage& message, std::string answer);

        bool IsQuestion() const;
        // "popup <title>: print", "message <title>: stop", "prompt: declined";
        // "notice pending 1", "notice batchStarted".
        std::string Line() const;
    };

    // What the user does in one pop-up.
    struct PopupAnswer {
        enum class Choice { Print, Cancel, Snooze, Wait };
        Choice choice = Choice::Print;
        std::function<void(ClientJob&)> edit;  // entries written into the job before it answers
        bool fail = false;  // the call throws on the job thread after answering

        static PopupAnswer Print(std::function<void(ClientJob&)> entries = {});
        static PopupAnswer Cancel() { return Of(Choice::Cancel); }
        static PopupAnswer Snooze() { return Of(Choice::Snooze); }
        // Left open until the test answers it or the client shuts down.
        static PopupAnswer Wait() { return Of(Choice::Wait); }
        static PopupAnswer Failing();
        static PopupAnswer Of(Choice choice);
    };

    // Reads the word lists of the headless client: "print,cancel,snooze,wait"
    // and "go,stop"; none for an unknown word or an empty list.
    static std::optional<std::vector<PopupAnswer>> ParsePopupAnswers(std::string_view text);
    static std::optional<std::vector<bool>> ParseMessageAnswers(std::string_view text);

    ScriptedUserInterface();
    ~ScriptedUserInterface() override;
    ScriptedUserInterface(const ScriptedUserInterface&) = delete;
    ScriptedUserInterface& operator=(const ScriptedUserInterface&) = delete;

    // --- The script ---
    // Answers in turn; after them every message goes on (or `then`).
    void AnswerMessages(std::vector<bool> answers, bool then = true);
    // Answers in turn; after them every pop-up prints (or `then`).
    void AnswerPopups(std::vector<PopupAnswer> answers, PopupAnswer then = PopupAnswer::Print());
    // Every question from now on waits for AnswerOldest (or shutdown).
    void HoldQuestions();
    // Runs on the main thread during every pop-up, before it answers.
    void DuringPopups(std::function<void()> work);
    // The user's choices in every pending-jobs pop-up (a job is released by
    // clearing its "DelayedJob" flag), on the main thread.
    void DuringPendingPopups(std::function<void(CVClientData::PendingJobList&)> choose);
    // Runs on the main thread after each notice, as the application may call
    // into the core then.
    void AfterNotices(std::function<void(const std::string& kind)> work);
    // Appends every later call's line to the file.
    void WriteCallsTo(std::string path);

    // --- What happened ---
    std::vector<Call> Calls() const;
    std::vector<Call> CallsOf(const std::string& kind) const;
    // Calls of a kind, of one type (a notice's state) when given.
    size_t CountOf(const std::string& kind, std::optional<int32_t> type = std::nullopt) const;
    std::vector<std::string> Kinds() const;
    void ClearCalls();

    // --- Held questions ---
    // Waits until this many questions wait for an answer.
    bool WaitForQuestions(size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5)) const;
    // The kinds of the questions waiting, oldest first.
    std::vector<std::string> Questions() const;
    // Answers the oldest waiting question (a pop-up: print or cancel).
    void AnswerOldest(bool answer);

    // Runs work on the main thread and waits for it, also after shutdown
    // began: it is the main thread's own work, not a call that waits.
    void RunOnMain(const std::function<void()>& work);

    // --- IUIController ---
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

    // --- IUIWaitCanceller ---
    void CancelWaitsForShutdown() override;
    // A held question of the caller is answered as a closed window.
    void CancelWaitOf(std::thread::id caller) override;

private:
    struct Task {
        std::function<void()> work;
        bool keep = false;  // the main thread's own work: runs even after waits were cancelled
        bool done = false;
        bool dropped = false;
    };
    struct HeldQuestion {
        std::string kind;
        std::thread::id caller;
        bool answered = false;
        bool answer = false;
    };

    // Carries work to the main thread and waits until it ran; false when it
    // did not run because waits were cancelled (unless evenIfCancelled).
    bool mOnMain(std::function<void()> work, bool evenIfCancelled = false);
    // Records a call (and writes its line); on the main thread.
    void mRecord(Call call);
    // A notice: recorded on the main thread, then the after-notice work.
    void mNotice(Call call);
    // Whether questions are held (read on the main thread).
    bool mHolding() const;
    // Waits on the calling thread for the test's answer; false once cancelled.
    bool mWaitForAnswer(const std::string& kind);
    void mMainLoop();

    mutable std::mutex mLock;
    mutable std::condition_variable mChanged;
    std::deque<std::shared_ptr<Task>> mTasks;
    std::deque<std::shared_ptr<HeldQuestion>> mHeld;
    bool mblnCancelled = false;
    bool mblnStopping = false;
    bool mblnHoldQuestions = false;

    // The script; used on the main thread once set.
    std::deque<bool> mMessageAnswers;
    bool mblnMessagesThen = true;
    std::deque<PopupAnswer> mPopupAnswers;
    PopupAnswer mPopupsThen;
    std::function<void()> mDuringPopups;
    std::function<void(CVClientData::PendingJobList&)> mDuringPendingPopups;
    std::function<void(const std::string&)> mAfterNotices;
    std::string mstrLogPath;

    mutable std::mutex mCallsLock;  // a leaf
    std::vector<Call> mvecCalls;

    std::thread mMain;  // last: started once everything above exists
};

}  // namespace TestSupport
