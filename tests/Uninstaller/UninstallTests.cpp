// Uninstall as a person uses it, on the offscreen platform: the Uninstall
// button runs the installation's uninstall script through a stand-in for
// pkexec, the window shows how the run went, and after a removal the Close
// button asks whether to restart, which reaches a stand-in of the login
// manager on a private bus. Also: the texts, and the polkit action that must
// name exactly the command the program runs.
#include "Platform/Qt/LocalizedStrings.h"
#include "Platform/FileSystemRoot.h"
#include "Uninstaller/AppDelegate.h"
#include "Uninstaller/UninstallWindow.h"
#include "tests/Support/Gui/ModalAnswerer.h"
#include "tests/Support/Gui/WidgetPicture.h"
#include "tests/Support/NamedCases.h"
#include "tests/Support/TempRoot.h"
#include "tests/Uninstaller/LoginManagerStandIn.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Platform::LocalizedStrings;
using TestSupport::operator<<;

constexpr auto kLimit = std::chrono::seconds(30);
const QString kProduct = QStringLiteral("Quorvel");

enum class State { Ready, Done, Failed };

// Runs the main thread's events until the condition holds or the time is up.
template <typename Condition>
bool ProcessEventsUntil(Condition condition)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition() && elapsed.elapsed() < std::chrono::milliseconds(kLimit).count())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

// Whether the log holds a line of the level and component whose message
// holds the text.
bool Logged(const std::string& log, char level, const std::string& component, const std::string& text)
{
    const std::string marker = " - (" + component + "): ";
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        size_t message = line.find(marker);
        if (!line.empty() && line[0] == level && message != std::string::npos
            && line.find(text, message + marker.size()) != std::string::npos)
            return true;
    }
    return false;
}

class UninstallTest : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("CVK_PKEXEC", CVK_PKEXEC_STANDIN, 1);
        setenv("CVK_PKEXEC_RECORD", mstrRecord.c_str(), 1);
        setenv("CVK_PKEXEC_ANSWER", "run", 1);
        mDelegate.awakeFromNib();
        mWindow.show();
    }

    // Writes the uninstall script: the body after a line that leaves a mark
    // when it runs. Every folder on its path is made the owner's alone.
    void WriteScript(const std::string& body, fs::perms mode = fs::perms(0755))
    {
        TestSupport::WriteFileText(mstrScript, "touch '" + mstrMark + "'\n" + body);
        fs::permissions(mstrScript, mode);
        for (fs::path folder = fs::path(mstrScript).parent_path(); folder.string().size() >= mRoot.Path().size();
             folder = folder.parent_path())
            fs::permissions(folder, fs::perms(0755));
    }

    QPushButton& Button(const char* name) { return *mWindow.findChild<QPushButton*>(QString::fromLatin1(name)); }

    // Clicks Uninstall and waits until the run has ended, in any state.
    void Uninstall()
    {
        QTest::mouseClick(&Button("uninstallButton"), Qt::LeftButton);
        ASSERT_TRUE(ProcessEventsUntil(
            [&] { return Button("cancelButton").isEnabled() || Button("uninstallButton").isEnabled(); }));
    }

    void ExpectState(State state)
    {
        const char* helpKey = state == State::Ready  ? "Uninstall_Instruction_Text"
                              : state == State::Done ? "Uninstall_Success_Text"
                                                     : "Uninstall_Error_Not_Admin";
        EXPECT_EQ(mWindow.findChild<QLabel*>("helpText")->text(), LocalizedStrings::Format(helpKey, kProduct));
        EXPECT_EQ(Button("cancelButton").isEnabled(), state != State::Done);
        EXPECT_EQ(Button("uninstallButton").isEnabled(), state != State::Failed);
        EXPECT_EQ(Button("uninstallButton").text(), state == State::Done ? "Close" : "Uninstall");
        EXPECT_FALSE(mWindow.findChild<QProgressBar*>("uninstallProgress")->isVisible());
    }

    // The runs of pkexec, one line each, arguments separated by tabs.
    std::string PkexecRuns() const { return TestSupport::ReadFileText(mstrRecord); }
    std::string PkexecRun() const { return "--disable-internal-agent\t/bin/sh\t" + mstrScript + "\n"; }
    bool ScriptRan() const { return fs::exists(mstrMark); }
    std::string Log() const { return mRoot.ClientLogText(); }

    TestSupport::TempRoot mRoot;
    const std::string mstrScript = AppDelegate::uninstallerScriptPath();
    const std::string mstrRecord = mRoot.Path() + "/pkexec.record";
    const std::string mstrMark = mRoot.Path() + "/script.ran";
    UninstallWindow mWindow;
    AppDelegate mDelegate{mWindow, nullptr, geteuid()};
};

// How the uninstall script is laid out.
enum class Layout { Sound, GroupWritable, FolderWritableByOthers, OwnedByAnother, Missing };

struct RunCase {
    const char* Name;
    Layout layout;
    const char* script;  // the script's body
    const char* answer;  // the pkexec stand-in's answer
    State state;
    bool pkexecRuns;
    bool scriptRuns;
    char level;        // the level of the line that tells the outcome
    const char* line;  // its text
};

const RunCase kRuns[] = {
    {"Removed", Layout::Sound, "echo removed\n", "run", State::Done, true, true, 'D', "Succesful Authorization: 0"},
    {"ExitsOneAfterPrinting", Layout::Sound, "echo partly removed\nexit 1\n", "run", State::Failed, true, true, 'E',
     "Authorization was unsuccessful: 1"},
    {"PrintsNothing", Layout::Sound, "exit 0\n", "run", State::Failed, true, true, 'E',
     "Authorization was unsuccessful: 0"},
    {"AuthenticationRefused", Layout::Sound, "echo removed\n", "refuse", State::Ready, true, false, 'E',
     "SFAuthorization error: no administrator authenticated"},
    {"ScriptWritableByItsGroup", Layout::GroupWritable, "echo removed\n", "run", State::Failed, false, false, 'E',
     "may be written by its group or by others"},
    {"FolderWritableByOthers", Layout::FolderWritableByOthers, "echo removed\n", "run", State::Failed, false, false,
     'E', "Resources may be written by its group or by others"},
    {"ScriptOwnedByAnotherUser", Layout::OwnedByAnother, "echo removed\n", "run", State::Failed, false, false, 'E',
     "uninstaller.sh belongs to user"},
    {"ScriptMissing", Layout::Missing, "", "run", State::Failed, false, false, 'E', "Uninstaller script not run: "},
};

class UninstallRunTest : public UninstallTest, public testing::WithParamInterface<RunCase> {};

TEST_P(UninstallRunTest, TheWindowShowsHowTheRunWent)
{
    const RunCase& test = GetParam();
    if (test.layout == Layout::OwnedByAnother && geteuid() != 0)
        GTEST_SKIP() << "needs root to give the script to another user";
    if (test.layout != Layout::Missing)
        WriteScript(test.script, test.layout == Layout::GroupWritable ? fs::perms(0775) : fs::perms(0755));
    if (test.layout == Layout::FolderWritableByOthers)
        fs::permissions(fs::path(mstrScript).parent_path(), fs::perms(0777));
    if (test.layout == Layout::OwnedByAnother) {
        ASSERT_EQ(chown(mstrScript.c_str(), geteuid() + 4242, getegid()), 0);
    }
    setenv("CVK_PKEXEC_ANSWER", test.answer, 1);

    Uninstall();

    ExpectState(test.state);
    EXPECT_EQ(PkexecRuns(), test.pkexecRuns ? PkexecRun() : "");
    EXPECT_EQ(ScriptRan(), test.scriptRuns);
    EXPECT_TRUE(Logged(Log(), test.level, "Uninstaller, General", test.line)) << Log();
    if (test.scriptRuns) {
        EXPECT_TRUE(Logged(Log(), 'D', "Config, General", "Arguments sent to process " + mstrScript)) << Log();
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, UninstallRunTest, testing::ValuesIn(kRuns), TestSupport::CaseName());

TEST_F(UninstallTest, AfterADismissedAuthenticationASecondTryRemoves)
{
    WriteScript("echo removed\n");
    setenv("CVK_PKEXEC_ANSWER", "dismiss", 1);
    Uninstall();
    ExpectState(State::Ready);
    EXPECT_FALSE(ScriptRan());
    EXPECT_TRUE(Logged(Log(), 'E', "Uninstaller, General",
                       "SFAuthorization error: the administrator's authentication was dismissed"));

    setenv("CVK_PKEXEC_ANSWER", "run", 1);
    Uninstall();
    ExpectState(State::Done);
    EXPECT_TRUE(ScriptRan());
    EXPECT_EQ(PkexecRuns(), PkexecRun() + PkexecRun());
}

struct RestartCase {
    const char* Name;
    const char* button;
    const char* calls;  // what the login manager is asked
};

const RestartCase kRestarts[] = {
    {"RestartNow", "Restart_Now_Button", "Reboot(true) interactive\n"},
    {"RestartLater", "Restart_Later_Button", ""},
};

class RestartTest : public UninstallTest, public testing::WithParamInterface<RestartCase> {};

TEST_P(RestartTest, TheCloseButtonAsksAndTheProgramEnds)
{
    UninstallerTests::LoginManagerStandIn logind(mRoot.Path());
    ASSERT_TRUE(logind.Serving());
    WriteScript("echo removed\n");
    Uninstall();
    ExpectState(State::Done);
    TestSupport::SaveWidgetPicture(mWindow, "uninstall-done");

    // The program must end by itself, not because its last window closed.
    QApplication::setQuitOnLastWindowClosed(false);
    TestSupport::ModalAnswerer answer([&](QWidget& question) {
        TestSupport::SaveWidgetPicture(question, "uninstall-restart-question");
        return QString::fromLatin1(GetParam().button);
    });
    QTimer::singleShot(0, &mWindow, [&] { QTest::mouseClick(&Button("uninstallButton"), Qt::LeftButton); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(std::chrono::milliseconds(kLimit));

    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_FALSE(mWindow.isVisible());
    EXPECT_EQ(logind.Calls(), GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(Answers, RestartTest, testing::ValuesIn(kRestarts), TestSupport::CaseName());

TEST_F(UninstallTest, TextsNameTheProductAndEveryKeyHasItsText)
{
    EXPECT_EQ(mWindow.windowTitle(), "Uninstall Quorvel");
    EXPECT_EQ(mWindow.findChild<QLabel*>("welcomeText")->text(), "Welcome to the Quorvel Uninstaller");
    ExpectState(State::Ready);
    TestSupport::SaveWidgetPicture(mWindow, "uninstall-ready");
    for (const char* key :
         {"Uninstall_Window_Title", "Uninstall_Instruction_Text", "Uninstall_Welcome_Text", "Uninstall_Status_Text",
          "Uninstall_Error_Not_Admin", "Uninstall_Success_Text", "Close_Button", "Restart_Required",
          "Restart_System_Message", "Restart_Now_Button", "Restart_Later_Button", "Uninstall_Button", "Cancel_Button"})
        EXPECT_NE(LocalizedStrings::Text(key), key);
    EXPECT_EQ(LocalizedStrings::Text("Uninstall_No_Such_Text"), "Uninstall_No_Such_Text");
}

// pkexec picks the action whose annotations name the command it is given;
// an action that names another command would leave the uninstall to polkit's
// generic question.
TEST(UninstallPolicyTest, TheActionNamesTheCommandRunAndAsksForAnAdministrator)
{
    Platform::SetFileSystemRoot("");
    std::string policy = TestSupport::ReadFileText(CVK_UNINSTALL_POLICY);
    for (const std::string& line :
         {std::string("<action id=\"com.corvane.quorvel.uninstall\">"),
          std::string("<allow_any>auth_admin</allow_any>"), std::string("<allow_inactive>auth_admin</allow_inactive>"),
          std::string("<allow_active>auth_admin</allow_active>"),
          std::string("<annotate key=\"org.freedesktop.policykit.exec.path\">/bin/sh</annotate>"),
          "<annotate key=\"org.freedesktop.policykit.exec.argv1\">" + AppDelegate::uninstallerScriptPath()
              + "</annotate>"})
        EXPECT_NE(policy.find(line), std::string::npos) << line;
}

}  // namespace
