#include "Client/ApplicationController.h"

#include "Client/MainMenuController.h"
#include "Client/QuitSignalWatcher.h"
#include "Client/TrayWatch.h"
#include "Client/UIControllerBridge.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/ClientEnvironment.h"
#include "Core/Services/ClientInstance.h"
#include "Core/Services/ClientUICommunicationService.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"
#include "Platform/ApplicationBundle.h"
#include "Platform/Folders.h"
#include "Platform/Qt/LocalizedStrings.h"
#include "Platform/UserAccount.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QProcess>
#include <QSysInfo>
#include <QSystemTrayIcon>

#include <filesystem>
#include <thread>
#include <utility>

// The application's life: launch (with the agent that only starts the copy
// with an icon), the core, and the quit path with its shutdown sequence.
// The tray icon and menus live in ApplicationControllerTray.cpp, the alerts
// in ApplicationControllerAlerts.cpp, the other windows in
// ApplicationControllerWindows.cpp.

namespace {

constexpr auto kComponent = LogComponents::ClientUserInterface;
using Log = ComponentLog<kComponent>;

// How long the copy with an icon may take to end its own shutdown.
constexpr int kIconCopyStopMs = 10000;

// Makes a folder with the folders above it; a failure is not reported (the
// path is used anyway, and what needs it logs its own failure).
void MakeFolder(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::create_directories(path, ignored);
}

}  // namespace

ApplicationController::ApplicationController(std::string bundlePath, CVCoreDataServices::JobThreadFactory jobThreads)
    : mstrBundlePath(std::move(bundlePath)),
      mJobThreads(std::move(jobThreads)),
      _thisHost(QSysInfo::machineHostName().toStdString()),
      _productName(Platform::LocalizedStrings::Text(QStringLiteral("Quorvel Client"), QStringLiteral("Branding")))
{
    // The shutdown runs once the event loop has ended, outside any window.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                     [this] { applicationWillTerminate(); });
}

// The members go in the reverse order of their declaration: the copy with
// an icon is stopped, then the service, which may still call the bridge and
// the web service while it shuts down, goes before either.
ApplicationController::~ApplicationController() = default;

void ApplicationController::applicationDidFinishLaunching()
{
    DebugScope scope(kComponent, "-[ApplicationController applicationDidFinishLaunching:]");
    _isInBatch = false;
    _hasPendingJobs = false;
    _isUsingBalances = false;
    _hasSnoozedJobs = false;
    _hasDisconnectedJobs = false;
    Log::Info("ApplicationController::applicationDidFinishLaunching - Beginning client initialization.");

    _clientJobCachePath = Platform::FolderPath(Platform::Folder::UserData);
    MakeFolder(_clientJobCachePath);
    _customFieldCachePath = Platform::FolderPath(Platform::Folder::UserCache);
    MakeFolder(_customFieldCachePath);
    Log::Info("ApplicationController::applicationDidFinishLaunching - Client job cache in %s.", _clientJobCachePath);
    Log::Info("ApplicationController::applicationDidFinishLaunching - Custom _customField cache in %s",
              _customFieldCachePath);

    Log::Info("ApplicationController::applicationDidFinishLaunching - Launching Client Framework");
    _uiControllerBridge = std::make_unique<UIControllerBridge>(*this);

    CVCoreDataServices::ClientEnvironment environment;
    environment.UserName = Platform::CurrentUserName();
    environment.JobCacheFolder = _clientJobCachePath;
    environment.OperatingSystem = CVCoreDataServices::ClientEnvironment::CurrentOperatingSystemText();
    environment.HostName = _thisHost;
    environment.JobSource = CVCoreDataServices::ClientEnvironment::ClientJobSource;

    Log::Info("ApplicationController::applicationDidFinishLaunching - init Client UI CommunicationService.");
    _webDataService = std::make_unique<CVClientData::WebDataService>();
    _clientUICommunicationService = std::make_unique<CVCoreDataServices::ClientUICommunicationService>(
        *_uiControllerBridge, environment, *_webDataService);
    _clientUICommunicationService->SetJobThreadFactory(mJobThreads);
    _clientUICommunicationService->Initialize();

    _isShowingIcon = true;
    std::optional<bool> uiElement = Platform::ApplicationBundle::BoolValue(mstrBundlePath, "LSUIElement");
    if (uiElement)
        _isShowingIcon = !*uiElement;
    else
        Log::Info("UIElement is nil");
    Log::Info("isShowingIcon = %i", _isShowingIcon ? 1 : 0);

    bool startedIconCopy = false;
    if (!_isShowingIcon && _clientUICommunicationService->GetClientSettings().DisplayClientTrayIcon)
        startedIconCopy = mStartIconCopy();
    if (!startedIconCopy)
        mRunCore();

    mMakeMainMenu();
    mMakeTrayIcon();
    mQuitSignals = std::make_unique<QuitSignalWatcher>([this] { handleQuitEvent(); });
    if (_mainMenuQuitCV != nullptr)
        _mainMenuQuitCV->setEnabled(true);
}

// The path of the copy with an icon: <bundle>/Contents/<product>.app/Contents/MacOS/<product>.
std::string ApplicationController::mIconCopyPath() const
{
    std::string product = _productName.toStdString();
    std::filesystem::path path = std::filesystem::path(mstrBundlePath) / "Contents";
    Log::Info("Contents ... %s", path.string());
    path /= product + ".app";
    Log::Info("app ... %s", path.string());
    path = path / "Contents" / "MacOS" / product;
    Log::Info("Task: %s", path.string());
    return path.string();
}

// The agent's way when the server asks for a visible icon: the copy with an
// icon runs the core, and the agent ends with it. Should the copy not start,
// the agent runs the core itself, so that jobs are still answered.
bool ApplicationController::mStartIconCopy()
{
    std::string path = mIconCopyPath();
    Log::Info("Starting task...");
    mIconCopy = std::make_unique<QProcess>();
    mIconCopy->setProgram(QString::fromStdString(path));
    mIconCopy->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(mIconCopy.get(), &QProcess::finished, this, [this] { terminate("the copy with an icon"); });
    // The copy is the user's one client from now on.
    const bool heldLock = mInstanceLock != nullptr;
    mInstanceLock.reset();
    mIconCopy->start();
    if (!mIconCopy->waitForStarted()) {
        Log::Error("Unable to start %s: %s; the client runs without an icon.", path,
                   mIconCopy->errorString().toStdString());
        mIconCopy.reset();
        if (heldLock)
            mInstanceLock = CVCoreDataServices::ClaimClientInstance(Platform::FolderPath(Platform::Folder::UserData));
        return false;
    }
    return true;
}

void ApplicationController::mRunCore()
{
    Log::Info("ApplicationController::applicationDidFinishLaunching - Telling Cocoa that we will be multi-threading");
    std::thread(&ApplicationController::doNothing).join();
    _clientUICommunicationService->Run();
    _appState = AppStateIdle;
}

void ApplicationController::handleQuitEvent()
{
    Log::Info("Application is shutting down.");
    terminate("the quit event");
}

void ApplicationController::mainMenuQuit()
{
    terminate("the menu");
}

// Open questions are answered as closed windows and the windows close, so
// that the event loop (and every window's loop) ends; the shutdown sequence
// follows from the application's aboutToQuit.
void ApplicationController::terminate(const char* sender)
{
    if (!applicationShouldTerminate())
        return;
    Log::Debug("ApplicationController::terminate - asked by %s.", sender);
    // The jobs are answered before their windows close, so that none takes
    // a window closed by the quit for the user's answer.
    if (_clientUICommunicationService)
        _clientUICommunicationService->AnswerOpenJobsForQuit();
    else if (_uiControllerBridge)
        _uiControllerBridge->CancelWaitsForShutdown();
    else
        MainThreadHandOver::CloseModalWindows();
    QCoreApplication::exit(0);
}

void ApplicationController::applicationWillTerminate()
{
    if (_appState == AppStateTerminating)
        return;
    DebugScope scope(kComponent, "-[ApplicationController applicationWillTerminate:]");
    _appState = AppStateTerminating;
    Log::Info("ApplicationController::applicationWillTerminate - beginning shutdown sequence");
    if (mIconCopy && mIconCopy->state() != QProcess::NotRunning) {
        mIconCopy->disconnect(this);
        mIconCopy->terminate();
        if (!mIconCopy->waitForFinished(kIconCopyStopMs))
            mIconCopy->kill();
    }
    mShutDownCore();
    Log::Info("ApplicationController::applicationWillTerminate - shutdown sequence complete.");
}

// The service first: it waits for the job threads, which may still reach
// the bridge; then the bridge. The web service stays until the end.
void ApplicationController::mShutDownCore()
{
    if (_clientUICommunicationService) {
        _clientUICommunicationService->Shutdown();
        _clientUICommunicationService.reset();
    }
    _uiControllerBridge.reset();
}
