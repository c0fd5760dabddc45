#pragma once

#include <cstdint>
#include <string>

class ClientJob;
class UIMessage;

namespace CVClientData {
class ClientSettings;
class PendingJobList;
class User;
class WebDataService;
}  // namespace CVClientData

namespace CVCoreDataServices {

// Why a user is being authenticated.
enum AuthenticatedOperationType : int32_t {
    AuthenticatedOperationPrintJob = 0,
    AuthenticatedOperationBalanceCheck = 1,
};

// Which pending jobs the user interface is to announce.
enum PendingJobsType : int32_t {
    PendingJobsNone = 0,
    PendingJobsDisconnected = 1,  // jobs taken while the server was unreachable
    PendingJobsSnoozed = 2,
};

// The texts the core asks the user interface for; any other value gives an
// empty text.
enum CVLocalizedStringType : int32_t {
    CVLocalizedStringDisconnectedJobAllowed = 0,  // shown when a disconnected job may print
};

// How the core reaches the user interface. Calls made on a job thread are
// carried to the main thread and wait there until the user has answered;
// GetLocalizedString never changes thread. The operations are declared in
// a fixed order.
class IUIController {
public:
    virtual ~IUIController() = default;

    // Asks for a PIN or network login as the settings say and validates it;
    // true when the user was validated (the user record then holds the
    // server's user and its token).
    virtual bool PromptForAuthentication(CVClientData::User& user, CVClientData::WebDataService& service,
                                         CVClientData::ClientSettings& settings,
                                         AuthenticatedOperationType operation) = 0;
    // Shows a message of the rules or of the job thread; true to go on with the job.
    virtual bool DisplayJobMessage(UIMessage& message) = 0;
    // Shows the job pop-up; true when the user chose Print or Snooze (a
    // snoozed job has its options' "DelayedJob" set), false for Cancel or a
    // closed window.
    virtual bool ShowPopup(ClientJob& job, CVClientData::WebDataService& service,
                           CVClientData::ClientSettings& settings) = 0;
    // Shows the user's pending jobs.
    virtual bool ShowPendingJobsPopup(CVClientData::PendingJobList& jobs, CVClientData::WebDataService& service,
                                      const CVClientData::ClientSettings& settings) = 0;
    virtual void BatchStarted() = 0;
    virtual void BatchEnded() = 0;
    virtual void HavePendingJobs(PendingJobsType type) = 0;
    virtual void SetUsingBalances(bool usingBalances) = 0;
    virtual std::string GetProductName() = 0;
    virtual std::string GetLocalizedString(CVLocalizedStringType type) = 0;
    // Tells the user what became of a secured job.
    virtual void DisplaySecureMessage(UIMessage& message) = 0;
};

}  // namespace CVCoreDataServices
