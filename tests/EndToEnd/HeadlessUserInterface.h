#pragma once

#include "Core/Services/IUIController.h"
#include "Core/Services/IUIWaitCanceller.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace EndToEnd {

// The user interface of the headless client core: no windows, every question
// answered from a script and written as one line to a log file (flushed at
// once, so that a test can watch it). Questions are taken one at a time, as
// the windows' main thread takes them.
//
// Log lines of questions: "popup <document>: print|cancel|waiting",
// "message <title>: go|stop", "prompt: declined", "secure <title>",
// "pending-popup"; of notices: "notice pending-jobs <type>", "notice batch
// started", "notice batch ended". Login prompts are always declined.
class HeadlessUserInterface final : public CVCoreDataServices::IUIController,
                                    public CVCoreDataServices::IUIWaitCanceller {
public:
    // What the user does in a pop-up; Wait leaves it open until shutdown.
    enum class PopupAnswer { Print, Cancel, Wait };

    // Answers in turn; the last one stays for every later question.
    struct Script {
        std::vector<PopupAnswer> popups{PopupAnswer::Print};
        std::vector<bool> messages{true};  // true: go on with the job
    };

    // Reads "print,cancel,wait" and "go,stop" lists; none for a word that is
    // not an answer or an empty list.
    static std::optional<std::vector<PopupAnswer>> ParsePopupAnswers(std::string_view text);
    static std::optional<std::vector<bool>> ParseMessageAnswers(std::string_view text);

    // An empty log path writes no log.
    HeadlessUserInterface(Script script, std::string logPath);

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
    // The answer in turn of a list whose last entry stays.
    template <typename Answer>
    static Answer mNext(const std::vector<Answer>& answers, size_t& used);
    void mLog(const std::string& line);

    const Script mScript;
    const std::string mstrLogPath;

    std::mutex mQuestionLock;  // held for the whole of one question
    size_t mintPopupsAsked = 0;    // guarded by the question lock
    size_t mintMessagesAsked = 0;  // guarded by the question lock

    std::mutex mStateLock;  // a leaf
    std::condition_variable mCancelled;
    bool mblnCancelled = false;  // guarded by the state lock
};

}  // namespace EndToEnd
