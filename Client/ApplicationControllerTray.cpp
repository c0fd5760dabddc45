#include "Client/ApplicationController.h"

#include "Client/MainMenuController.h"
#include "Client/TrayWatch.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/User.h"
#include "Core/Services/ClientUICommunicationService.h"
#include "CoreLogger/ComponentLog.h"
#include "Platform/Qt/Alert.h"
#include "Platform/Qt/FrontWindow.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

// The tray icon (the Dock icon of the desktop) with its badge, its menu and
// the reopen that activating it means, and the menus' actions.

namespace {

constexpr auto kComponent = LogComponents::ClientUserInterface;
using Log = ComponentLog<kComponent>;
using Platform::LocalizedStrings;

// The application's own icon and the badges, among the program's resources.
const QString kApplicationIcon = QStringLiteral(":/images/quorvel.png");
QString BadgeImage(const QString& badgeName)
{
    return QStringLiteral(":/images/%1.png").arg(badgeName);
}

}  // namespace

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

// The icon with the badge of the current state: disconnected jobs first,
// then a running batch, then snoozed jobs.
void ApplicationController::setApplicationIcon()
{
    if (!_isShowingIcon)
        return;
    QImage image;
    if (_hasDisconnectedJobs)
        image = createDockIconWithBadgeNamed(QStringLiteral("disconnected"));
    else if (_isInBatch)
        image = createDockIconWithBadgeNamed(QStringLiteral("batch"));
    else if (_hasSnoozedJobs)
        image = createDockIconWithBadgeNamed(QStringLiteral("snooze"));
    else
        image = QImage(kApplicationIcon);
    QIcon icon(QPixmap::fromImage(image));
    QApplication::setWindowIcon(icon);
    if (mTrayIcon)
        mTrayIcon->setIcon(icon);
}

// The application's icon with the badge over its lower right corner.
QImage ApplicationController::createDockIconWithBadgeNamed(const QString& badgeName) const
{
    QImage composed(IconSize, IconSize, QImage::Format_ARGB32_Premultiplied);
    composed.fill(Qt::transparent);
    QPainter painter(&composed);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, QImage(kApplicationIcon));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QImage badge(BadgeImage(badgeName));
    painter.drawImage(BadgeX, IconSize - badge.height(), badge);
    return composed;
}

// The main menu with the delegate's items; its quit item is enabled once
// the launch is done.
void ApplicationController::mMakeMainMenu()
{
    mMainMenu = std::make_unique<MainMenuController>();
    _mainMenuAbout = mMainMenu->_aboutMenuItem;
    _mainMenuAbout->setText(LocalizedStrings::Format(QStringLiteral("Client_Dock_About_Menu_Text"), _productName));
    _mainMenuBalanceRemaining = new QAction(LocalizedStrings::Text(QStringLiteral("Client_Dock_Check_Balance_Menu_Text")),
                                            &mMainMenu->menu());
    _mainMenuBalanceRemaining->setObjectName(QStringLiteral("_mainMenuBalanceRemaining"));
    mMainMenu->menu().insertAction(mMainMenu->_hideMenuItem, _mainMenuBalanceRemaining);
    _mainMenuQuitCV = mMainMenu->_quitMenuItem;
    _mainMenuQuitCV->setEnabled(false);
    QObject::connect(_mainMenuAbout, &QAction::triggered, this, [this] { dockMenuAbout(); });
    QObject::connect(_mainMenuBalanceRemaining, &QAction::triggered, this, [this] { dockMenuShowBalance(); });
    QObject::connect(_mainMenuQuitCV, &QAction::triggered, this, [this] { mainMenuQuit(); });
}

// The tray icon, where the process shows an icon and the desktop has a
// tray; without one the program runs all the same and watches for a tray:
// the graphical session often starts the client before its panel, and the
// icon then comes once the panel is there. Qt is asked nothing about the
// tray before the watch has seen one (see TrayWatch).
void ApplicationController::mMakeTrayIcon()
{
    if (!_isShowingIcon)
        return;
    mTrayWatch = std::make_unique<TrayWatch>();
    if (mTrayWatch->TrayPresent()) {
        mTrayWatch.reset();
        mShowTrayIcon();
        return;
    }
    Log::Info("ApplicationController - the desktop has no tray yet; the client runs without its icon until one "
              "appears.");
    mTrayWatch->WaitForTray([this] {
        Log::Info("ApplicationController - a tray appeared; the client shows its icon.");
        mShowTrayIcon();
    });
}

void ApplicationController::mShowTrayIcon()
{
    mTrayIcon = std::make_unique<QSystemTrayIcon>();
    mTrayIcon->setToolTip(_productName);
    mTrayIcon->setContextMenu(applicationDockMenu());
    QObject::connect(mTrayIcon.get(), &QSystemTrayIcon::activated, this,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                             applicationShouldHandleReopen(false);
                     });
    setApplicationIcon();
    mTrayIcon->show();
}

// Activating the icon: while a window is up it comes to the front again,
// restored when the user minimized it (it may also have gone behind the
// user's other windows); without pending jobs
// the icon is only refreshed; when idle with pending jobs, they are shown.
bool ApplicationController::applicationShouldHandleReopen(bool)
{
    if (_appState != AppStateIdle) {
        setApplicationIcon();
        Platform::BringWaitingWindowsToFront();
        return true;
    }
    if (_hasPendingJobs && _clientUICommunicationService) {
        _clientUICommunicationService->ShowPendingJobsPopup();
        return false;
    }
    setApplicationIcon();
    return true;
}

// The tray menu, made on the first call; its balance item's title is set
// again on every call (and each time the menu opens).
QMenu* ApplicationController::applicationDockMenu()
{
    if (!_dockMenu) {
        _dockMenu = std::make_unique<QMenu>();
        _dockMenu->setObjectName(QStringLiteral("DockMenu"));
        auto addItem = [this](const char* objectName, const QString& title, void (ApplicationController::*action)()) {
            QAction* item = _dockMenu->addAction(title);
            item->setObjectName(QString::fromLatin1(objectName));
            QObject::connect(item, &QAction::triggered, this, [this, action] { (this->*action)(); });
            return item;
        };
        _dockMenuAbout = addItem("_dockMenuAbout",
                                 LocalizedStrings::Format(QStringLiteral("Client_Dock_About_Menu_Text"), _productName),
                                 &ApplicationController::dockMenuAbout);
        _dockMenu->addSeparator();
        _dockMenuShowPending = addItem("_dockMenuShowPending",
                                       LocalizedStrings::Text(QStringLiteral("Client_Dock_Show_Pending_Menu_Text")),
                                       &ApplicationController::dockMenuShowPending);
        _dockMenuCancelBatch = addItem("_dockMenuCancelBatch",
                                       LocalizedStrings::Text(QStringLiteral("Client_Dock_Cancel_Batch_Menu_Text")),
                                       &ApplicationController::dockMenuCancelBatch);
        _dockMenuBalanceRemaining = addItem("_dockMenuBalanceRemaining", QString(),
                                            &ApplicationController::dockMenuShowBalance);
        _dockMenu->addSeparator();
        _dockMenuQuit = addItem("_dockMenuQuit", LocalizedStrings::Text(QStringLiteral("Client_Dock_Quit_Menu_Text")),
                                &ApplicationController::mainMenuQuit);
        QObject::connect(_dockMenu.get(), &QMenu::aboutToShow, this, [this] { applicationDockMenu(); });
    }
    _dockMenuBalanceRemaining->setText(LocalizedStrings::Text(QStringLiteral("Client_Dock_Check_Balance_Menu_Text")));
    // Items with nothing to act on say so by being dimmed.
    _dockMenuShowPending->setEnabled(_hasPendingJobs);
    _dockMenuCancelBatch->setEnabled(_isInBatch);
    return _dockMenu.get();
}

// The program's About box: its name and version.
void ApplicationController::dockMenuAbout()
{
    Log::Info("ApplicationController::_dockMenuAbout - displaying standard about panel.");
    Platform::Alert about;
    about.box().setObjectName(QStringLiteral("AboutPanel"));
    about.setMessageText(_productName);
    about.setInformativeText(LocalizedStrings::Format(QStringLiteral("Client_About_Version_Text"),
                                                      QCoreApplication::applicationVersion()));
    about.runModal();
}

void ApplicationController::dockMenuShowPending()
{
    if (_appState != AppStateIdle || !_clientUICommunicationService)
        return;
    Log::Info("ApplicationController::dockMenuShowPending - displaying pending jobs.");
    _clientUICommunicationService->ShowPendingJobsPopup();
}

void ApplicationController::dockMenuCancelBatch()
{
    Log::Info("ApplicationController::dockMenuCancelBatch - about to cancel the batch.");
    if (_clientUICommunicationService)
        _clientUICommunicationService->CancelBatch();
}

// The balance of the user who asks: authenticated by a window when the
// settings ask for one, else the logged-in user. A user without declining
// balances, or no logged-in user to ask about, gets the not-using-balances
// alert.
void ApplicationController::dockMenuShowBalance()
{
    Log::Info("ApplicationController::dockMenuShowBalance - initiating show balance process.");
    if (!_clientUICommunicationService)
        return;
    CVClientData::ClientSettings settings = _clientUICommunicationService->GetClientSettings();
    if (settings.AuthenticationType != 0) {
        CVClientData::User user;
        CVClientData::ClientSettings settingsCopy = settings;
        // A user who cancels the login has asked for nothing more: no word
        // about an account that was never looked at.
        if (!promptForAuthentication(user, *_webDataService, settingsCopy,
                                     CVCoreDataServices::AuthenticatedOperationBalanceCheck)) {
            Log::Info("ApplicationController::dockMenuShowBalance - the login was not completed; no balance shown.");
            return;
        }
        if (user.Type != 0) {
            showRemainingBalanceForUser(user);
            setIsUsingBalances(true);
        }
    } else if (std::shared_ptr<const CVClientData::User> user = _clientUICommunicationService->GetLoggedInUser()) {
        if (user->Type != 0) {
            showRemainingBalanceForUser(*user);
            setIsUsingBalances(true);
        } else {
            setIsUsingBalances(false);
            Log::Info("Account not configured for declining balances.");
        }
    } else {
        setIsUsingBalances(false);
        Log::Info("ApplicationController::dockMenuShowBalance - no logged-in user; no balance to show.");
    }
    if (!isUsingBalances())
        mShowNotUsingBalancesAlert();
}
