#include "Client/ApplicationController.h"

#include "Client/Login/NetworkLoginController.h"
#include "Client/Login/PinCodeWindowController.h"
#include "Client/Login/UserBalanceWindowController.h"
#include "Client/Popup/PopupWindow.h"
#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/LocalFiles/ClientLogo.h"
#include "Core/CVModels/PendingJobList.h"
#include "Core/CVModels/User.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "Core/Services/ClientUICommunicationService.h"
#include "CoreLogger/DebugScope.h"

#include <optional>

// The windows the delegate opens for the core: the PIN and network login
// windows, the job pop-up in its two modes and the balance window.

namespace {

constexpr auto kComponent = LogComponents::ClientUserInterface;

// The job pop-up of one request of the core, given the custom-field cache
// folder and the logo cache of the running core (none, the shipped logo,
// before the core runs); closed and released when the request is done.
class PopupRequest {
public:
    PopupRequest(const std::string& cacheFolder, const CVCoreDataServices::ClientUICommunicationService* service)
    {
        if (service != nullptr)
            mLogo = service->GetClientLogo();
        mWindow.setCacheDirectory(QString::fromStdString(cacheFolder));
    }
    ~PopupRequest()
    {
        mWindow.close();
        mWindow.releasePopupObjects();
    }
    PopupRequest(const PopupRequest&) = delete;
    PopupRequest& operator=(const PopupRequest&) = delete;

    PopupWindow& window() { return mWindow; }
    const ClientLogo* logo() const { return mLogo ? &*mLogo : nullptr; }

private:
    std::optional<ClientLogo> mLogo;
    PopupWindow mWindow;
};

}  // namespace

// The login windows validate with the process's web service; before it is
// made there is no one to ask, and nobody is validated.
bool ApplicationController::promptForPINCode(CVClientData::User& user, CVClientData::ClientSettings& settings,
                                             CVCoreDataServices::AuthenticatedOperationType operation)
{
    if (!_webDataService)
        return false;
    PinCodeWindowController controller(user, settings, *_webDataService);
    return controller.promptForPinCode(operation);
}

bool ApplicationController::promptForNetworkLogin(CVClientData::User& user, CVClientData::ClientSettings& settings,
                                                  CVCoreDataServices::AuthenticatedOperationType operation)
{
    if (!_webDataService)
        return false;
    NetworkLoginController controller(user, settings, *_webDataService);
    return controller.promptForLogin(operation);
}

// Unless the user turned on a manual batch of more than one job in the
// pop-up, the job's user gets no batch and a running batch ends.
bool ApplicationController::showPopupForJob(ClientJob& job, CVClientData::WebDataService& webDataService,
                                            CVClientData::ClientSettings& settings)
{
    DebugScope scope(kComponent, "-[ApplicationController showPopupForJob:withWebDataService:andSettings:]");
    setApplicationIcon();
    _appState = AppStateWindowUp;
    bool answer = false;
    {
        PopupRequest popup(_customFieldCachePath, _clientUICommunicationService.get());
        answer = popup.window().showForJob(&job, &webDataService, &settings, popup.logo());
        if (!popup.window().getBatchStatus()) {
            job.GetUser().MaxBatchSize = 0;
            if (_clientUICommunicationService != nullptr)
                _clientUICommunicationService->CancelBatch();
        }
    }
    _appState = AppStateIdle;
    return answer;
}

bool ApplicationController::showPendingPopupForJobs(CVClientData::PendingJobList& jobs,
                                                    CVClientData::WebDataService& webDataService,
                                                    const CVClientData::ClientSettings& settings)
{
    DebugScope scope(kComponent, "-[ApplicationController showPendingPopupForJobs:withWebDataService:andSettings:]");
    setApplicationIcon();
    _appState = AppStateWindowUp;
    bool answer = false;
    {
        PopupRequest popup(_customFieldCachePath, _clientUICommunicationService.get());
        answer = popup.window().showForPendingJobs(&jobs, &webDataService, &settings, popup.logo());
    }
    _appState = AppStateIdle;
    return answer;
}

void ApplicationController::showRemainingBalanceForUser(const CVClientData::User& user)
{
    setApplicationIcon();
    _appState = AppStateWindowUp;
    UserBalanceWindowController balance(user);
    balance.showWindow();
    _appState = AppStateIdle;
}
