#pragma once

#include "Client/MainThreadHandOver.h"
#include "Core/Services/IUIController.h"
#include "Core/Services/IUIWaitCanceller.h"

#include <string>

class ApplicationController;

// The one IUIController of the client: carries each of the core's calls to
// the application delegate on the main thread. A call made on another thread
// waits there until the main thread has run it, including any window the
// user must answer, and returns its result; a call made on the main thread
// runs at once. GetLocalizedString stays on the calling thread.
//
// The questions (authentication, job message, pop-ups, secure message) are
// shown one at a time; the notices (batch, pending jobs, balances, product
// name) never wait for a window. At quit, CancelWaitsForShutdown answers
// every waiting call as a closed window would and closes the windows that
// are up; later calls do not wait.
class UIControllerBridge final : public CVCoreDataServices::IUIController,
                                 public CVCoreDataServices::IUIWaitCanceller {
public:
    // Made on the main thread; the controller outlives the bridge.
    explicit UIControllerBridge(ApplicationController& controller);
    ~UIControllerBridge() override;
    UIControllerBridge(const UIControllerBridge&) = delete;
    UIControllerBridge& operator=(const UIControllerBridge&) = delete;

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
    void CancelWaitOf(std::thread::id caller) override;

private:
    using Kind = MainThreadHandOver::Kind;

    // A notice without a result, run on the main thread.
    void mNotice(std::function<void()> work);

    ApplicationController& mController;
    const std::string mstrProductName;  // what GetProductName answers once calls are cancelled
    MainThreadHandOver mHandOver;
};
