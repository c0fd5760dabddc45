#include "Client/ApplicationController.h"

#include "Client/UIControllerBridge.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/UIMessage.h"
#include "Core/CVModels/User.h"
#include "Core/Services/ClientUICommunicationService.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QSysInfo>

#include <utility>

namespace {

constexpr auto kComponent = LogComponents::ClientUserInterface;
using Log = ComponentLog<kComponent>;

}  // namespace

ApplicationController::ApplicationController(std::string bundlePath)
    : mstrBundlePath(std::move(bundlePath)),
      _thisHost(QSysInfo::machineHostName().toStdString()),
      _productName(Platform::LocalizedStrings::Text(QStringLiteral("Quorvel Client"), QStringLiteral("Branding")))
{
}

// The members go in the reverse order of their declaration: the service,
// which may still call the bridge and the web service while it shuts down,
// before either.
ApplicationController::~ApplicationController() = default;

// By the settings' authentication type: a PIN window (2, 3) or a network
// login (4, 5); any other type has no window and answers no.
bool ApplicationController::promptForAuthentication(CVClientData::User& user, CVClientData::WebDataService&,
                                                    CVClientData::ClientSettings& settings,
                                                    CVCoreDataServices::AuthenticatedOperationType operation)
{
    DebugScope scope(kComponent, "-[ApplicationController promptForAuthentication:withWebDataService:andSettings:forOperation:]");
    setApplicationIcon();
    _appState = AppStateWindowUp;
    bool validated = false;
    switch (settings.AuthenticationType) {
    case 2:
    case 3:
        validated = promptForPINCode(user, settings, operation);
        break;
    case 4:
    case 5:
        validated = promptForNetworkLogin(user, settings, operation);
        break;
    default:
        break;
    }
    _appState = AppStateIdle;
    return validated;
}

void ApplicationController::batchStarted()
{
    _isInBatch = true;
    setApplicationIcon();
}

void ApplicationController::batchEnded()
{
    _isInBatch = false;
    setApplicationIcon();
}

// 0: no pending jobs; 1: disconnected jobs pending; 2: snoozed jobs pending;
// any other value keeps the flags. The icon is refreshed in every case.
void ApplicationController::setPendingJobType(int32_t type)
{
    switch (type) {
    case CVCoreDataServices::PendingJobsNone:
        _hasPendingJobs = false;
        _hasDisconnectedJobs = false;
        _hasSnoozedJobs = false;
        break;
    case CVCoreDataServices::PendingJobsDisconnected:
        _hasPendingJobs = true;
        _hasDisconnectedJobs = true;
        _hasSnoozedJobs = false;
        break;
    case CVCoreDataServices::PendingJobsSnoozed:
        _hasPendingJobs = true;
        _hasDisconnectedJobs = false;
        _hasSnoozedJobs = true;
        break;
    default:
        break;
    }
    setApplicationIcon();
}

void ApplicationController::setIsUsingBalances(bool usingBalances)
{
    _isUsingBalances = usingBalances;
}

// The job message alert comes with the application's alerts; until then a
// message answers as a closed alert does: the job does not go on.
bool ApplicationController::displayJobMessage(UIMessage&)
{
    return false;
}

// The secure-release alert comes with the application's alerts.
void ApplicationController::displaySecureMessage(UIMessage&) {}

// The tray icon comes with the application's tray; until then there is no
// icon to refresh.
void ApplicationController::setApplicationIcon()
{
    if (!_isShowingIcon)
        return;
}
