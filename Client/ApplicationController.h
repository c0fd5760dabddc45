#pragma once

#include "Core/Services/IUIController.h"
#include "Platform/ClientInstanceLock.h"
#include "Core/Services/JobThreadFactory.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>

class ClientJob;
class MainMenuController;
class QAction;
class QMenu;
class QProcess;
class QSystemTrayIcon;
class QuitSignalWatcher;
class TrayWatch;
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
// with its badge and menu, and hosts every window and alert the core asks for.
//
// Life: made before the event loop runs (init), launched from the loop
// (applicationDidFinishLaunching), asked to terminate by the quit signals
// or the menu, and shut down once the event loop has ended
// (applicationWillTerminate, on the application's aboutToQuit): windows are
// closed and open questions answered first, so that the shutdown never runs
// inside a window and never waits for a job thread that waits for the user.
//
// Every method runs on the main thread; the core's threads reach it only
// through the UIControllerBridge. _appState tells the launch (1), idle (0),
// a window or alert up (2) and terminating (3).
//
// Ownership: the service holds the bridge and the web service by reference,
// so it goes first on every path; then the bridge, then the web service.
class ApplicationController : public QObject {
public:
    // The values of _appState.
    enum AppState : int32_t { AppStateIdle = 0, AppStateStarting = 1, AppStateWindowUp = 2, AppStateTerminating = 3 };
    // The size of the composed icon and where its badge goes.
    static constexpr int IconSize = 128;
    static constexpr int BadgeX = 80;

    // init: reads the host name and the product name; the application is
    // starting. bundlePath is the folder of the program's bundle (its
    // information list and the copy with an icon); jobThreads makes the job
    // threads of the service (JobHandler's in the program).
    ApplicationController(std::string bundlePath, CVCoreDataServices::JobThreadFactory jobThreads);
    ~ApplicationController() override;
    ApplicationController(const ApplicationController&) = delete;
    ApplicationController& operator=(const ApplicationController&) = delete;

    // --- Application life ---
    void applicationDidFinishLaunching();
    // Holds the lock that makes this process the user's one client; the
    // agent hands it on to its copy with an icon.
    void KeepInstanceLock(std::unique_ptr<Platform::ClientInstanceLock> lock) { mInstanceLock = std::move(lock); }
    // Activating the tray icon; hasVisibleWindows is not looked at.
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    bool applicationShouldTerminate() const { return true; }
    void applicationWillTerminate();
    // Asks the application to terminate: open questions are answered as
    // closed windows, the windows close and the event loop ends; sender is
    // what asked (for the log).
    void terminate(const char* sender);
    // The quit signals' handler.
    void handleQuitEvent();
    // The body of the thread started at launch; returns at once.
    static void doNothing() {}

    // --- Menus ---
    QMenu* applicationDockMenu();
    void mainMenuQuit();
    void dockMenuAbout();
    void dockMenuShowPending();
    void dockMenuCancelBatch();
    void dockMenuShowBalance();

    // --- Tray icon ---
    void setApplicationIcon();
    QImage createDockIconWithBadgeNamed(const QString& badgeName) const;

    // --- What the bridge carries to the main thread ---
    QString getProductName() const { return _productName; }
    void batchStarted();
    void batchEnded();
    void setPendingJobType(int32_t type);
    bool promptForAuthentication(CVClientData::User& user, CVClientData::WebDataService& webDataService,
                                 CVClientData::ClientSettings& settings,
                                 CVCoreDataServices::AuthenticatedOperationType operation);
    bool displayJobMessage(UIMessage& message);
    void displaySecureMessage(UIMessage& message);
    bool showPopupForJob(ClientJob& job, CVClientData::WebDataService& webDataService,
                         CVClientData::ClientSettings& settings);
    bool showPendingPopupForJobs(CVClientData::PendingJobList& jobs, CVClientData::WebDataService& webDataService,
                                 const CVClientData::ClientSettings& settings);

    // --- Windows of their own (the login, pop-up and balance windows) ---
    bool promptForPINCode(CVClientData::User& user, CVClientData::ClientSettings& settings,
                          CVCoreDataServices::AuthenticatedOperationType operation);
    bool promptForNetworkLogin(CVClientData::User& user, CVClientData::ClientSettings& settings,
                               CVCoreDataServices::AuthenticatedOperationType operation);
    void showRemainingBalanceForUser(const CVClientData::User& user);

    // --- State ---
    int32_t appState() const { return _appState; }
    void setIsInBatch(bool inBatch) { _isInBatch = inBatch; }
    bool isInBatch() const { return _isInBatch; }
    void setHasPendingJobs(bool hasPendingJobs) { _hasPendingJobs = hasPendingJobs; }
    bool hasPendingJobs() const { return _hasPendingJobs; }
    void setIsUsingBalances(bool usingBalances) { _isUsingBalances = usingBalances; }
    bool isUsingBalances() const { return _isUsingBalances; }
    bool isShowingIcon() const { return _isShowingIcon; }
    const std::string& bundlePath() const { return mstrBundlePath; }
    // The bridge once launched, else null.
    UIControllerBridge* uiControllerBridge() const { return _uiControllerBridge.get(); }

private:
    // The path of the copy with an icon inside the bundle, logged as it is built.
    std::string mIconCopyPath() const;
    // Starts the copy with an icon and terminates when it ends; false when
    // it could not be started.
    bool mStartIconCopy();
    // Runs the core: the listener, the cached user and the stored jobs.
    void mRunCore();
    void mMakeMainMenu();
    void mMakeTrayIcon();
    void mShowTrayIcon();
    void mShowNotUsingBalancesAlert();
    void mShutDownCore();

    const std::string mstrBundlePath;
    const CVCoreDataServices::JobThreadFactory mJobThreads;

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

    // The tray menu (the Dock menu) and its items.
    std::unique_ptr<QMenu> _dockMenu;
    QAction* _dockMenuAbout = nullptr;
    QAction* _dockMenuShowPending = nullptr;
    QAction* _dockMenuCancelBatch = nullptr;
    QAction* _dockMenuBalanceRemaining = nullptr;
    QAction* _dockMenuQuit = nullptr;
    // The main menu and the delegate's items in it.
    std::unique_ptr<MainMenuController> mMainMenu;
    QAction* _mainMenuAbout = nullptr;
    QAction* _mainMenuBalanceRemaining = nullptr;
    QAction* _mainMenuQuitCV = nullptr;

    std::unique_ptr<QSystemTrayIcon> mTrayIcon;  // only where the desktop has a tray
    std::unique_ptr<TrayWatch> mTrayWatch;       // watches for a tray while there is none
    std::unique_ptr<QuitSignalWatcher> mQuitSignals;
    std::unique_ptr<QProcess> mIconCopy;  // the copy with an icon, while the agent waits for it
    std::unique_ptr<Platform::ClientInstanceLock> mInstanceLock;  // this user's one client, until the copy takes over
};
