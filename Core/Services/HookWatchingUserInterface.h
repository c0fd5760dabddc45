#pragma once

#include "Core/Services/IUIController.h"

#include <cstdint>
#include <memory>

namespace CVCoreDataServices {

class HookConnection;
class IUIWaitCanceller;

// The user interface as a job thread uses it: every question the job asks
// before its final answer (a login, a job message, the pop-up) is watched
// against the hook's connection. When the hook goes meanwhile (CUPS cancelled
// the job and ended the hook, or the hook died), the question's window closes
// as if the user had closed it and the call throws HookGone, so that the job
// ends there: nothing saved, reported or answered. After the final answer
// the hook leaves as a matter of course (it prints, then exits), so later
// questions are not watched.
//
// Notices and the product name pass straight through. Closing a waiting
// window needs a user interface that is also an IUIWaitCanceller; without
// one, the call ends when the user answers, and then throws.
class HookWatchingUserInterface final : public IUIController {
public:
    // Thrown out of a watched question whose hook has gone.
    struct HookGone {};

    HookWatchingUserInterface(IUIController& userInterface, HookConnection& connection, uint32_t jobId);
    HookWatchingUserInterface(const HookWatchingUserInterface&) = delete;
    HookWatchingUserInterface& operator=(const HookWatchingUserInterface&) = delete;

    bool PromptForAuthentication(CVClientData::User& user, CVClientData::WebDataService& service,
                                 CVClientData::ClientSettings& settings,
                                 AuthenticatedOperationType operation) override;
    bool DisplayJobMessage(UIMessage& message) override;
    bool ShowPopup(ClientJob& job, CVClientData::WebDataService& service,
                   CVClientData::ClientSettings& settings) override;
    bool ShowPendingJobsPopup(CVClientData::PendingJobList& jobs, CVClientData::WebDataService& service,
                              const CVClientData::ClientSettings& settings) override;
    void BatchStarted() override;
    void BatchEnded() override;
    void HavePendingJobs(PendingJobsType type) override;
    void SetUsingBalances(bool usingBalances) override;
    std::string GetProductName() override;
    std::string GetLocalizedString(CVLocalizedStringType type) override;
    void DisplaySecureMessage(UIMessage& message) override;

private:
    template <typename Question>
    bool mWatched(Question question);

    IUIController& mUserInterface;
    IUIWaitCanceller* const mCanceller;  // the same object, when it can close a waiting window
    HookConnection& mConnection;
    const uint32_t mintJobId;
};

}  // namespace CVCoreDataServices
