#pragma once

#include "Core/Services/IUIController.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string>

class ClientJob;
class UIMessage;
class UIControllerBridge;

namespace CVClientData {
class ClientSettings;
class PendingJobList;
class User;
class WebDataService;
}  // namespace CVClientData

namespace CVCoreDataServices {
class ClientUICommunicationService;
}

// The client application's delegate: one per process, on the main thread. It
// owns the core (the web service, the bridge through which the core reaches
// the user interface, and the job controller service), keeps the tray icon
// and its badge, and hosts every window and alert the core asks for.
//
// Every method runs on the main thread; the core's threads reach it only
// through the UIControllerBridge. _appState tells the launch (1), idle (0),
// a window or alert up (2) and terminating (3).
//
// Ownership: the service holds the bridge and the web service by reference,
// so it goes first on every path; then the bridge, then the web service.
class ApplicationController {
public:
    // The values of _appState.
    enum AppState : int32_t { AppStateIdle = 0, AppStateStarting = 1, AppStateWindowUp = 2, AppStateTerminating = 3 };

    // init: reads the host name and the product name; the application is
    // starting. bundlePath is the folder of the program's bundle.
    explicit ApplicationController(std::string bundlePath);
    ~ApplicationController();
    ApplicationController(const ApplicationController&) = delete;
    ApplicationController& operator=(const ApplicationController&) = delete;

    // --- What the bridge carries to the main thread ---
    bool promptForAuthentication(CVClientData::User& user, CVClientData::WebDataService& webDataService,
                                 CVClientData::ClientSettings& settings,
                                 CVCoreDataServices::AuthenticatedOperationType operation);
    bool displayJobMessage(UIMessage& message);
    bool showPopupForJob(ClientJob& job, CVClientData::WebDataService& webDataService,
                         CVClientData::ClientSettings& settings);
    bool showPendingPopupForJobs(CVClientData::PendingJobList& jobs, CVClientData::WebDataService& webDataService,
                                 const CVClientData::ClientSettings& settings);
    void batchStarted();
    void batchEnded();
    void setPendingJobType(int32_t type);
    void setIsUsingBalances(bool usingBalances);
    QString getProductName() const { return _productName; }
    void displaySecureMessage(UIMessage& message);

    // --- Windows of their own (the login, pop-up and balance windows) ---
    bool promptForPINCode(CVClientData::User& user, CVClientData::ClientSettings& settings,
                          CVCoreDataServices::AuthenticatedOperationType operation);
    bool promptForNetworkLogin(CVClientData::User& user, CVClientData::ClientSettings& settings,
                               CVCoreDataServices::AuthenticatedOperationType operation);
    void showRemainingBalanceForUser(const CVClientData::User& user);

    // --- Tray icon ---
    // Shows the badge of the current state on the icon (nothing when the
    // process shows no icon).
    void setApplicationIcon();

    // --- State ---
    int32_t appState() const { return _appState; }
    void setIsInBatch(bool inBatch) { _isInBatch = inBatch; }
    bool isInBatch() const { return _isInBatch; }
    void setHasPendingJobs(bool hasPendingJobs) { _hasPendingJobs = hasPendingJobs; }
    bool hasPendingJobs() const { return _hasPendingJobs; }
    bool isUsingBalances() const { return _isUsingBalances; }
    const std::string& bundlePath() const { return mstrBundlePath; }

private:
    const std::string mstrBundlePath;

    std::string _thisHost;
    QString _productName;
    std::string _clientJobCachePath;
    std::string _customFieldCachePath;
    int32_t _appState = AppStateStarting;
    bool _isShowingIcon = false;
    bool _isInBatch = false;
    bool _hasPendingJobs = false;
    bool _hasDisconnectedJobs = false;
    bool _hasSnoozedJobs = false;
    bool _isUsingBalances = false;

    // Declared in the order they are made, so that they go in the reverse
    // order: the service first, then the bridge, then the web service.
    std::unique_ptr<CVClientData::WebDataService> _webDataService;
    std::unique_ptr<UIControllerBridge> _uiControllerBridge;
    std::unique_ptr<CVCoreDataServices::ClientUICommunicationService> _clientUICommunicationService;
};
