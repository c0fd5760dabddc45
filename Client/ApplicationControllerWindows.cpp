#include "Client/ApplicationController.h"

#include "Client/Login/NetworkLoginController.h"
#include "Client/Login/PinCodeWindowController.h"
#include "Client/Login/UserBalanceWindowController.h"
#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/PendingJobList.h"
#include "Core/CVModels/User.h"
#include "Core/WebServiceConnection/WebDataService.h"

// The windows the delegate opens for the core: the PIN and network login
// windows, the job pop-up in its two modes and the balance window. Until
// each window is built, its method answers as the window does when the user
// closes it without choosing: not validated, not printed, nothing shown.

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

bool ApplicationController::showPopupForJob(ClientJob&, CVClientData::WebDataService&, CVClientData::ClientSettings&)
{
    return false;
}

bool ApplicationController::showPendingPopupForJobs(CVClientData::PendingJobList&, CVClientData::WebDataService&,
                                                    const CVClientData::ClientSettings&)
{
    return false;
}

void ApplicationController::showRemainingBalanceForUser(const CVClientData::User& user)
{
    setApplicationIcon();
    _appState = AppStateWindowUp;
    UserBalanceWindowController balance(user);
    balance.showWindow();
    _appState = AppStateIdle;
}
