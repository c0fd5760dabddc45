#include "Uninstaller/AppDelegate.h"

#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"
#include "Platform/Folders.h"
#include "Platform/Qt/Alert.h"
#include "Platform/Qt/LocalizedStrings.h"
#include "Platform/RootOwnedFile.h"
#include "Uninstaller/SystemPowerEvent.h"
#include "Uninstaller/TaskWithOutput.h"
#include "Uninstaller/UninstallWindow.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>

#include <optional>

namespace {

constexpr LogComponents kComponent = LogComponents::UninstallerGeneral;
using Log = ComponentLog<kComponent>;
using Platform::LocalizedStrings;

// The shell the script runs with; the system's, not the installation's.
constexpr const char* kShell = "/bin/sh";

// The script, relative to the install folder.
constexpr const char* kScriptInInstallFolder = "/Contents/Resources/uninstaller.sh";

QString Key(const char* key)
{
    return QString::fromLatin1(key);
}

}  // namespace

AppDelegate::AppDelegate(UninstallWindow& window, QObject* parent, uid_t scriptOwner)
    : QObject(parent),
      _welcomeText(window.welcomeText()),
      _cancelButton(window.cancelButton()),
      _helpText(window.helpText()),
      _uninstallButton(window.uninstallButton()),
      _uninstallProgress(window.uninstallProgress()),
      _window(window),
      mScriptOwner(scriptOwner)
{
    connect(_cancelButton, &QPushButton::clicked, &_window, &QWidget::close);
    mUninstallAction = connect(_uninstallButton, &QPushButton::clicked, this, &AppDelegate::uninstall);
    _window.installEventFilter(this);
}

// The worker's hand-over to the main thread must run for the worker to end,
// so the main thread's events are processed until it has.
AppDelegate::~AppDelegate()
{
    if (!mScriptWaiter.joinable())
        return;
    while (!mblnScriptWaiterDone)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    mScriptWaiter.join();
}

void AppDelegate::awakeFromNib()
{
    _productName = LocalizedStrings::Text(Key("Quorvel"), Key("Branding"));
    _window.setWindowTitle(LocalizedStrings::Format(Key("Uninstall_Window_Title"), _productName));
    _welcomeText->setText(LocalizedStrings::Format(Key("Uninstall_Welcome_Text"), _productName));
    showReadyState();
}

void AppDelegate::uninstall()
{
    DebugScope scope(kComponent, "-[AppDelegate uninstall:]");
    showRunningState();
    // The script blocks the main thread: the window shows its state first.
    _window.repaint();

    std::string scriptPath = uninstallerScriptPath();
    Log::Debug("Run uninstaller script...");
    Log::Debug("Uninstaller script path: %s", scriptPath);
    // Whoever may change the script could run anything as root once an
    // administrator has authenticated: only a script that root alone could
    // have written is run.
    if (std::string why = Platform::WhyNotRootOwned(scriptPath, mScriptOwner); !why.empty()) {
        Log::Error("Uninstaller script not run: %s", why);
        showFailedState();
        return;
    }

    TaskError error;
    std::optional<std::string> output = TaskWithOutput::stringByLaunchingPath(kShell, {scriptPath}, &error);
    if (error.notAuthorized) {
        Log::Error("SFAuthorization error: %s", error.description);
        showReadyState();
        return;
    }
    if (!output) {
        Log::Error("Authorization was unsuccessful: %ld", error.code);
        showFailedState();
    }
    Log::Debug("Output from task: %s", output.value_or(std::string()));
    Log::Debug("Succesful Authorization: %ld", error.code);
    if (output && error.code == 0) {
        mScriptWaiter = std::thread([this] {
            waitForScript();
            mblnScriptWaiterDone = true;
        });
    }
}

void AppDelegate::waitForScript()
{
    DebugScope scope(kComponent, "-[AppDelegate waitForScript]");
    if (QThread::currentThread() == thread())
        showDoneState();
    else
        QMetaObject::invokeMethod(this, &AppDelegate::showDoneState, Qt::BlockingQueuedConnection);
}

void AppDelegate::close()
{
    Platform::Alert alert(&_window);
    alert.addButton(Key("Restart_Now_Button"));
    alert.addButton(Key("Restart_Later_Button"));
    alert.setMessageText(LocalizedStrings::Text(Key("Restart_Required")));
    alert.setInformativeText(LocalizedStrings::Text(Key("Restart_System_Message")));
    if (alert.runModal() == Platform::Alert::FirstButton)
        SystemPowerEvent::Restart();
    _window.close();
}

void AppDelegate::windowWillClose()
{
    Logger::Log_Debug_Start(kComponent, "-[AppDelegate windowWillClose:]");
    QCoreApplication::quit();
}

void AppDelegate::showReadyState()
{
    _helpText->setText(LocalizedStrings::Format(Key("Uninstall_Instruction_Text"), _productName));
    _cancelButton->setEnabled(true);
    _uninstallButton->setEnabled(true);
    _uninstallProgress->hide();
}

void AppDelegate::showRunningState()
{
    _cancelButton->setEnabled(false);
    _uninstallButton->setEnabled(false);
    // A range of 0 to 0 is the moving, indeterminate indicator.
    _uninstallProgress->setRange(0, 0);
    _uninstallProgress->show();
    _helpText->setText(LocalizedStrings::Text(Key("Uninstall_Status_Text")));
}

void AppDelegate::showDoneState()
{
    _uninstallProgress->setRange(0, 1);
    _uninstallProgress->hide();
    _uninstallButton->setText(LocalizedStrings::Text(Key("Close_Button")));
    _uninstallButton->setEnabled(true);
    disconnect(mUninstallAction);
    mUninstallAction = connect(_uninstallButton, &QPushButton::clicked, this, &AppDelegate::close);
    _helpText->setText(LocalizedStrings::Format(Key("Uninstall_Success_Text"), _productName));
}

void AppDelegate::showFailedState()
{
    _uninstallProgress->setRange(0, 1);
    _helpText->setText(LocalizedStrings::Format(Key("Uninstall_Error_Not_Admin"), _productName));
    _cancelButton->setEnabled(true);
    _uninstallButton->setEnabled(false);
    _uninstallProgress->hide();
}

std::string AppDelegate::uninstallerScriptPath()
{
    return Platform::FolderPath(Platform::Folder::Install) + kScriptInInstallFolder;
}

bool AppDelegate::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &_window && event->type() == QEvent::Close)
        windowWillClose();
    return QObject::eventFilter(watched, event);
}
