#pragma once

#include "Core/Services/IUIController.h"
#include "Core/Services/IUIWaitCanceller.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace JobControllerTests {

// A user interface that behaves like the application's bridge: it has a main
// thread of its own, every call from another thread is carried to it and
// waits until it has run there (a call on the main thread runs at once), and
// the calls that ask the user (messages, pop-ups, logins) wait until the test
// answers them from its own thread. CancelWaitsForShutdown makes every wait
// return with "no" and later calls not wait.
class ScriptedUI final : public CVCoreDataServices::IUIController, public CVCoreDataServices::IUIWaitCanceller {
public:
    ScriptedUI();
    ~ScriptedUI() override;

    // Runs work on the main thread and waits for it to finish.
    void RunOnMain(const std::function<void()>& work);

    // Work the main thread does after each notice it shows (batch, balance
    // and pending-job state), as the application may call into the core then.
    void SetOnNotice(std::function<void(const std::string&)> work);

    // The notices shown so far, in order: "BatchStarted", "BatchEnded",
    // "UsingBalances:0" or ":1", "PendingJobs:<type>".
    std::vector<std::string> Events() const;
    size_t CountOf(const std::string& event) const;
    void ClearEvents();

    // Questions waiting for the user, oldest first: "DisplayJobMessage:<title>",
    // "ShowPopup", "PromptForAuthentication", "ShowPendingJobsPopup".
    bool WaitForQuestions(size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5)) const;
    std::vector<std::string> Questions() const;
    // Answers the oldest waiting question.
    void AnswerOldest(bool answer);

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

private:
    struct Task {
        std::function<void()> work;
        bool done = false;
    };
    struct Question {
        std::string name;
        bool answered = false;
        bool answer = false;
    };

    // Carries work to the main thread and waits until it ran or waits are
    // cancelled; false when it did not run for the caller.
    bool mOnMain(std::function<void()> work);
    // Shows a notice on the main thread.
    void mNotice(const std::string& event);
    // Waits for the user's answer to a question; false once cancelled.
    bool mAsk(const std::string& name);
    void mMainLoop();

    mutable std::mutex mLock;
    mutable std::condition_variable mChanged;
    std::deque<std::shared_ptr<Task>> mTasks;
    std::deque<std::shared_ptr<Question>> mQuestions;
    std::vector<std::string> mEvents;
    std::function<void(const std::string&)> mOnNotice;
    bool mblnCancelled = false;
    bool mblnStopping = false;
    std::thread mMain;
};

}  // namespace JobControllerTests
