// The application shell launched in this process with the real core, the
// stand-in server and a bundle folder of the test's own: the icon and its
// badge, the agent that only starts the copy with an icon, reopening, the
// balance check's alert, and quitting by SIGTERM while a job waits for the
// user.
#include "Client/UIControllerBridge.h"
#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/UIMessage.h"
#include "Platform/Qt/Alert.h"
#include "Platform/Qt/LocalizedStrings.h"
#include "tests/Client/LaunchedClient.h"
#include "tests/StandInServer/DefaultAnswers.h"
#include "tests/Support/Gui/ModalAnswerer.h"
#include "tests/Support/Gui/WidgetPicture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QAction>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>

#include <csignal>
#include <filesystem>
#include <atomic>
#include <future>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

namespace ClientTests {
namespace {

namespace fs = std::filesystem;
using Platform::Alert;
using Platform::LocalizedStrings;

// The application's icon as it is shown now.
QImage ShownIcon()
{
    return QApplication::windowIcon().pixmap(ApplicationController::IconSize).toImage().convertToFormat(
        QImage::Format_ARGB32);
}

// The icon with a badge, or the plain icon for an empty name.
QImage IconWithBadge(const ApplicationController& controller, const QString& badge)
{
    QImage image = badge.isEmpty() ? QImage(QStringLiteral(":/images/quorvel.png"))
                                   : controller.createDockIconWithBadgeNamed(badge);
    return image.convertToFormat(QImage::Format_ARGB32);
}

using ShellTest = LaunchedClientTest;

TEST_F(ShellTest, TheBadgeShowsDisconnectedJobsBeforeABatchBeforeSnoozedJobs)
{
    Launch();
    ASSERT_TRUE(mController->isShowingIcon());
    struct Step {
        const char* what;
        std::function<void(ApplicationController&)> act;
        QString badge;
        bool pending;
    };
    const Step steps[] = {
        {"a batch starts", [](ApplicationController& c) { c.batchStarted(); }, "batch", false},
        {"disconnected jobs during the batch", [](ApplicationController& c) { c.setPendingJobType(1); },
         "disconnected", true},
        {"no pending jobs, still in the batch", [](ApplicationController& c) { c.setPendingJobType(0); }, "batch",
         false},
        {"snoozed jobs during the batch", [](ApplicationController& c) { c.setPendingJobType(2); }, "batch", true},
        {"the batch ends", [](ApplicationController& c) { c.batchEnded(); }, "snooze", true},
        {"an unknown pending type keeps the state", [](ApplicationController& c) { c.setPendingJobType(7); },
         "snooze", true},
        {"no pending jobs", [](ApplicationController& c) { c.setPendingJobType(0); }, "", false},
    };
    for (const Step& step : steps) {
        step.act(*mController);
        EXPECT_TRUE(ShownIcon() == IconWithBadge(*mController, step.badge)) << step.what;
        EXPECT_EQ(mController->hasPendingJobs(), step.pending) << step.what;
    }
}

TEST_F(ShellTest, TheComposedIconCarriesTheBadgeOverItsLowerRightCorner)
{
    Launch();
    QImage plain(QStringLiteral(":/images/quorvel.png"));
    QImage badge(QStringLiteral(":/images/disconnected.png"));
    QImage composed = mController->createDockIconWithBadgeNamed(QStringLiteral("disconnected"));
    ASSERT_EQ(composed.size(), QSize(128, 128));
    QPoint badgeCentre(ApplicationController::BadgeX + badge.width() / 2, 128 - badge.height() / 2);
    EXPECT_EQ(composed.pixelColor(badgeCentre), badge.pixelColor(badge.width() / 2, badge.height() / 2));
    EXPECT_EQ(composed.pixelColor(40, 40), plain.pixelColor(40, 40));
    EXPECT_EQ(composed.pixelColor(100, 20), plain.pixelColor(100, 20));
    QLabel picture;
    picture.setPixmap(QPixmap::fromImage(composed));
    picture.resize(composed.size());
    TestSupport::SaveWidgetPicture(picture, "icon-disconnected");
}

// The agent (LSUIElement) whose server asks for a visible icon starts
// <bundle>/Contents/<product>.app/Contents/MacOS/<product>, waits for it
// and terminates, without listening for jobs.
TEST_F(ShellTest, AnAgentAskedForAVisibleIconStartsTheCopyAndTerminatesWithoutRunningTheCore)
{
    WriteInfoList(true);
    ServeSettings({{"DisplayClientTrayIcon", true}});
    std::string copy = mstrBundle + "/Contents/Quorvel Client.app/Contents/MacOS/Quorvel Client";
    std::string record = mRoot.Path() + "/copy-ran";
    TestSupport::WriteFileText(copy, "#!/bin/sh\necho \"$#\" > '" + record + "'\n");
    fs::permissions(copy, fs::perms(0755));

    bool listening = true;
    RunApplication({}, [&] { listening = fs::exists(SocketPath()); });
    EXPECT_EQ(TestSupport::ReadFileText(record), "0\n");  // it ran, without arguments
    EXPECT_FALSE(listening);
    EXPECT_EQ(CountInLog("Starting task..."), 1u);
    EXPECT_EQ(CountInLog("Telling Cocoa"), 0u);
    EXPECT_EQ(CountInLog("applicationWillTerminate - shutdown sequence complete."), 1u);
}

// Without a copy to start (the settings do not ask, or it is missing) the
// agent runs the core itself, and never shows an icon.
TEST_F(ShellTest, AnAgentRunsTheCoreItselfWhenNoCopyIsStarted)
{
    for (bool askForIcon : {false, true}) {
        WriteInfoList(true);
        ServeSettings({{"DisplayClientTrayIcon", askForIcon}});
        QApplication::setWindowIcon(QIcon());
        Launch();
        EXPECT_FALSE(mController->isShowingIcon());
        EXPECT_EQ(mController->appState(), ApplicationController::AppStateIdle) << askForIcon;
        EXPECT_TRUE(WaitForSocket()) << askForIcon;
        mController->batchStarted();
        EXPECT_TRUE(QApplication::windowIcon().isNull()) << askForIcon;
        mController.reset();
    }
}

// Pending jobs known at launch (a cached user with jobs on the server).
// Reopening or the menu's pending jobs while an alert is up do nothing but
// refresh the icon and bring the alert, which stays above other windows, to
// the front, restored when the user had minimized it; reopening when idle
// offers the pending jobs and answers no.
TEST_F(ShellTest, ReopenShowsThePendingJobsOnlyWhenNoWindowIsUp)
{
    nlohmann::json jobs = nlohmann::json::array();
    for (const char* document : {"a.pdf", "b.pdf"}) {
        ClientJob job;
        job.DocumentName = document;
        nlohmann::json entry = nlohmann::json::object();
        job.ToJson(entry);
        jobs.push_back(entry);
    }
    mServer.SetAnswer("GET", "printapi/pendingjobs", StandIn::Answer::Json(200, jobs.dump()));
    Launch();
    ASSERT_TRUE(mController->hasPendingJobs());
    const std::string offered = "Displaying pending popup for job on main thread.";

    bool reopenedDuringAlert = false;
    size_t offeredDuringAlert = 0;
    bool staysAbove = false;
    bool raised = false;
    QWidget otherWindow;
    TestSupport::ModalAnswerer answerer([&](QWidget& alert) {
        staysAbove = alert.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        // The user minimizes the alert and another window of the user's
        // comes to the front; reopening brings the waiting alert back,
        // restored.
        alert.setWindowState(Qt::WindowMinimized);
        otherWindow.show();
        otherWindow.activateWindow();
        QApplication::processEvents();
        reopenedDuringAlert = mController->applicationShouldHandleReopen(false);
        QApplication::processEvents();
        raised = QApplication::activeWindow() == &alert && !(alert.windowState() & Qt::WindowMinimized);
        alert.showNormal();  // so that the answer's click reaches it whatever became of it
        mController->applicationDockMenu()->findChild<QAction*>("_dockMenuShowPending")->trigger();
        offeredDuringAlert = CountInLog(offered);
        return QString::fromLatin1(Alert::OkButton);
    });
    auto jobThread = std::async(std::launch::async, [this] {
        UIMessage message;
        message.Type = 2;
        message.Title = "Note";
        return mController->uiControllerBridge()->DisplayJobMessage(message);
    });
    QElapsedTimer elapsed;
    elapsed.start();
    while (jobThread.wait_for(std::chrono::seconds(0)) != std::future_status::ready && elapsed.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(answerer.Answered(), 1);
    EXPECT_TRUE(jobThread.get());
    EXPECT_TRUE(reopenedDuringAlert);
    EXPECT_EQ(offeredDuringAlert, 0u);
    EXPECT_TRUE(staysAbove);
    EXPECT_TRUE(raised);

    // The pending-jobs pop-up that reopening brings up is cancelled.
    TestSupport::ModalAnswerer cancelPending(QStringLiteral("cancelPrintJob"));
    EXPECT_FALSE(mController->applicationShouldHandleReopen(false));
    EXPECT_EQ(cancelPending.Answered(), 1);
    EXPECT_EQ(CountInLog(offered), 1u);
}

// A user of the workstation's login whose account has no declining balance
// asks for the balance: the not-using-balances alert names the product.
TEST_F(ShellTest, TheBalanceCheckOfAUserWithoutABalanceShowsTheNotUsingBalancesAlert)
{
    nlohmann::json user = {{"Id", 77}, {"DisplayName", "No Balance"}, {"NetworkName", "nobalance"},
                           {"Allowance", {{"Type", 0}}}};
    mServer.SetAnswer("GET", "printapi/users", StandIn::Answer::Json(200, user.dump()));
    Launch();
    QString shownText;
    TestSupport::ModalAnswerer answerer([&](QWidget& window) {
        if (auto* box = qobject_cast<QMessageBox*>(&window))
            shownText = box->text();
        EXPECT_EQ(mController->appState(), ApplicationController::AppStateWindowUp);
        TestSupport::SaveWidgetPicture(window, "alert-not-using-balances");
        return QString::fromLatin1(Alert::OkButton);
    });
    mController->dockMenuShowBalance();
    EXPECT_EQ(answerer.Answered(), 1);
    EXPECT_EQ(shownText, LocalizedStrings::Format("Client_Error_Not_Using_Balances", QStringLiteral("Quorvel Client")));
    EXPECT_FALSE(mController->isUsingBalances());
    EXPECT_EQ(mController->appState(), ApplicationController::AppStateIdle);
}

// A balance check whose login the user cancels ends there: no alert about
// an account that was never looked at.
TEST_F(ShellTest, ACancelledBalanceCheckLoginShowsNothingMore)
{
    ServeSettings({{"AuthenticationType", 2}});
    Launch();
    QStringList windows;
    TestSupport::ModalAnswerer answerer(
        [&](QWidget& window) {
            windows.push_back(window.objectName());
            return QStringLiteral("cancel");
        },
        2);
    mController->dockMenuShowBalance();
    EXPECT_EQ(windows, QStringList{QStringLiteral("_window")});
    EXPECT_EQ(CountInLog("the login was not completed; no balance shown."), 1u);
    EXPECT_EQ(mController->appState(), ApplicationController::AppStateIdle);
}

// The tray menu's pending jobs and batch items are dimmed while there is
// nothing pending and no batch running.
TEST_F(ShellTest, TheTrayMenuDimsItemsWithNothingToActOn)
{
    Launch();
    auto enabled = [this](const char* item) {
        return mController->applicationDockMenu()->findChild<QAction*>(item)->isEnabled();
    };
    EXPECT_FALSE(enabled("_dockMenuShowPending"));
    EXPECT_FALSE(enabled("_dockMenuCancelBatch"));
    mController->batchStarted();
    mController->setPendingJobType(CVCoreDataServices::PendingJobsSnoozed);
    EXPECT_TRUE(enabled("_dockMenuShowPending"));
    EXPECT_TRUE(enabled("_dockMenuCancelBatch"));
}

// The tray menu holds its items under their names; About shows the
// product and its version; Quit takes the quit path with its shutdown
// sequence.
TEST_F(ShellTest, TheTrayMenuShowsAboutAndQuits)
{
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QString aboutTitle;
    QString aboutText;
    RunApplication({}, [&] {
        QMenu* menu = mController->applicationDockMenu();
        aboutTitle = menu->findChild<QAction*>("_dockMenuAbout")->text();
        TestSupport::ModalAnswerer answerer([&](QWidget& window) {
            if (auto* box = qobject_cast<QMessageBox*>(&window))
                aboutText = box->text() + " " + box->informativeText();
            TestSupport::SaveWidgetPicture(window, "about-panel");
            return QString::fromLatin1(Alert::OkButton);
        });
        menu->findChild<QAction*>("_dockMenuAbout")->trigger();
        menu->findChild<QAction*>("_dockMenuQuit")->trigger();
    });
    EXPECT_EQ(aboutTitle, LocalizedStrings::Format("Client_Dock_About_Menu_Text", QStringLiteral("Quorvel Client")));
    EXPECT_EQ(aboutText, "Quorvel Client " + LocalizedStrings::Format("Client_About_Version_Text", QStringLiteral("1.0.0")));
    EXPECT_EQ(CountInLog("applicationWillTerminate - shutdown sequence complete."), 1u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(SocketPath())));
}

// A job thread waits for the user's answer to an alert when the session
// ends (SIGTERM): the alert closes, the job (which stores nothing) answers
// as for a closed window, never print without a record, and the client has
// shut down within seconds.
TEST_F(ShellTest, QuitBySigtermWhileAJobWaitsInAnAlertEndsWithinSeconds)
{
    auto jobThreads = JobThreadsRunning([](CVCoreDataServices::IUIController& userInterface) {
        UIMessage message;
        message.Type = 1;
        message.Title = "Confirm";
        message.Message = "This job costs 4.20.";
        return userInterface.DisplayJobMessage(message);
    });
    std::future<std::string> hookAnswer;
    QElapsedTimer sinceSignal;
    QTimer signalWhenAsked;
    QObject::connect(&signalWhenAsked, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() == nullptr)
            return;
        signalWhenAsked.stop();
        sinceSignal.start();
        ::kill(::getpid(), SIGTERM);
    });
    RunApplication(jobThreads, [&] {
        hookAnswer = std::async(std::launch::async, [] {
            HookForJob hook(41);
            return hook.Connected() ? hook.ReadFinalAnswer() : std::string("not connected");
        });
        signalWhenAsked.start(10);
    });
    ASSERT_TRUE(sinceSignal.isValid()) << "no alert came up";
    EXPECT_LT(sinceSignal.elapsed(), 10000);
    ASSERT_EQ(hookAnswer.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(hookAnswer.get(), "RX");
    EXPECT_EQ(CountInLog("Application is shutting down."), 1u);
    EXPECT_EQ(CountInLog("applicationWillTerminate - shutdown sequence complete."), 1u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(SocketPath())));
}

// The delegate goes while a job thread waits for the user (no event loop
// runs): the service is shut down first, while the bridge and the web service
// it uses still exist; the waiting question is answered as a closed window,
// and the job is never printed on it (the shutdown may cut its connection
// before the cancel reaches the hook).
TEST_F(ShellTest, DestroyingTheDelegateWhileAJobWaitsShutsTheServiceDownFirst)
{
    std::atomic<bool> started{false};
    std::atomic<bool> ask{false};
    Launch(JobThreadsRunning([&](CVCoreDataServices::IUIController& userInterface) {
        started = true;
        while (!ask)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        UIMessage message;
        message.Type = 1;
        return userInterface.DisplayJobMessage(message);
    }));
    auto answer = std::async(std::launch::async, [] {
        HookForJob hook(42);
        return hook.Connected() ? hook.ReadFinalAnswer() : std::string("not connected");
    });
    // The listener asks the main thread for the product name before it
    // starts the job's thread.
    QElapsedTimer elapsed;
    elapsed.start();
    while (!started && elapsed.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(started);
    ask = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    mController.reset();
    ASSERT_EQ(answer.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    // The service, shut down first, leaves the answer to the job, which
    // stores nothing: it is answered as for a closed window.
    EXPECT_EQ(answer.get(), "RX");
}

}  // namespace
}  // namespace ClientTests
