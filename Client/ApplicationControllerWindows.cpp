#include "Client/ApplicationController.h"

#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/PendingJobList.h"
#include "Core/CVModels/User.h"

// The windows the delegate opens for the core: the PIN and network login
// windows, the job pop-up in its two modes and the balance window. Until
// each window is built, its method answers as the window does when the user
// closes it without choosing: not validated, not printed, nothing shown.

bool ApplicationController::promptForPINCode(CVClientData::User&, CVClientData::ClientSettings&,
                                             CVCoreDataServices::AuthenticatedOperationType)
{
    return false;
}

bool ApplicationController::promptForNetworkLogin(CVClientData::User&, CVClientData::ClientSettings&,
                                                  CVCoreDataServices::AuthenticatedOperationType)
{
    return false;
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

void ApplicationController::showRemainingBalanceForUser(const CVClientData::User&) {}
