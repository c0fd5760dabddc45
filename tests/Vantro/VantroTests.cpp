// Vantro run as a program against repair scripts written under a private
// root: its exit status and its log lines for each way a run can end, with
// debug lines on and off.
#include "Platform/UserAccount.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/NamedCases.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

using TestSupport::operator<<;
namespace fs = std::filesystem;

constexpr const char* kRepairScript = "/Corvane Velk/Corvane Velk Repair Utility.app/Contents/Resources/hook.sh";

// What stands in the shell's place while the tool runs. The stand-ins are
// bound over the machine's shell inside a private mount namespace.
enum class Shell { Machine, NotExecutable, NotAProgram };

// The expected exit code "whatever /bin/sh itself gives for the script".
constexpr int kShellsOwn = -2;

struct VantroCase {
    const char* Name;
    const char* script;  // the repair script's text; nullptr for none
    Shell shell;
    int exitCode;
    bool ran;               // whether the script's run is logged
    const char* afterCode;  // what follows the exit code in the "returned" line
};

const VantroCase kCases[] = {
    {"ScriptExitsZero", "exit 0\n", Shell::Machine, 0, true, " "},
    {"ScriptExitsThree", "exit 3\n", Shell::Machine, 3, true, " "},
    {"ScriptKilledBySignal", "kill -TERM $$\n", Shell::Machine, 128 + SIGTERM, true, " "},
    {"ScriptMissing", nullptr, Shell::Machine, kShellsOwn, true, " "},
    {"NoShell", "exit 0\n", Shell::NotExecutable, 1, false, ""},
    {"ShellCannotStart", "exit 0\n", Shell::NotAProgram, 127, true, " \n[Exec format error]"},
};

std::string Debug(const std::string& text)
{
    return "D (Backcheck, General): " + text;
}

// The log's entries as "<level> (<component>): <message>"; a message that
// spans lines is kept whole.
std::vector<std::string> LogEntries(const std::string& text)
{
    static const std::regex prefix(R"(([LDE]) \[[^\]]*\]\[PID: [0-9]+\] - (.*))");
    std::vector<std::string> entries;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::smatch match;
        if (std::regex_match(line, match, prefix))
            entries.push_back(match[1].str() + " " + match[2].str());
        else if (!entries.empty())
            entries.back() += "\n" + line;
    }
    return entries;
}

std::vector<std::string> ExpectedEntries(const VantroCase& test, int exitCode)
{
    if (!test.ran)
        return {Debug("Initiating Back Check."), "E (Backcheck, General): System call failed. Exiting!"};
    return {Debug("Initiating Back Check."), Debug("System checks complete."), Debug("Running Backend Check"),
            Debug("-- Backend Check returned " + std::to_string(exitCode) + test.afterCode),
            Debug("Command Backend Check complete. ")};
}

std::vector<std::string> ErrorsOnly(std::vector<std::string> entries)
{
    std::erase_if(entries, [](const std::string& entry) { return !entry.starts_with("E "); });
    return entries;
}

class VantroTest : public ::testing::TestWithParam<VantroCase> {
protected:
    // Runs the tool under the private root; a stand-in shell needs a private
    // mount namespace, in which the tool runs as root.
    TestSupport::ProgramResult RunVantro(Shell shell) const
    {
        std::vector<std::string> command{"/usr/bin/env", "CVK_ROOT=" + mRoot.Path()};
        if (shell != Shell::Machine) {
            std::string standIn = mRoot.Path() + "/shell";
            TestSupport::WriteFileText(standIn, "");
            fs::permissions(standIn, shell == Shell::NotExecutable ? fs::perms(0644) : fs::perms(0755));
            command.insert(command.end(), {"unshare", "--map-root-user", "--mount", "/bin/sh", "-c",
                                           R"(mount --bind "$0" "$1" && exec "$2")", standIn,
                                           fs::canonical("/bin/sh").string()});
        }
        command.emplace_back(CVK_VANTRO_PROGRAM);
        return TestSupport::RunProgram(command);
    }

    std::string LogText(Shell shell) const
    {
        std::string user = shell == Shell::Machine ? Platform::CurrentUserName() : std::string("root");
        return TestSupport::ReadFileText(mRoot.LogFolder(user) + "/" + user + "_Quorvel.log");
    }

    TestSupport::TempRoot mRoot;
};

TEST_P(VantroTest, ExitsWithTheScriptsCodeAndLogsTheRun)
{
    const VantroCase& test = GetParam();
    if (test.shell != Shell::Machine && TestSupport::RunProgram({"unshare", "--map-root-user", "--mount", "true"}).status != 0)
        GTEST_SKIP() << "no private mount namespace here to replace the shell in";
    std::string script = mRoot.Folder(Platform::Folder::Install) + kRepairScript;
    if (test.script != nullptr)
        TestSupport::WriteFileText(script, test.script);
    int exitCode = test.exitCode;
    if (exitCode == kShellsOwn) {
        exitCode = TestSupport::RunProgram({"/bin/sh", script}).status;
        ASSERT_NE(exitCode, 0);
    }

    for (const char* debugLogging : {"1", "0"}) {
        SCOPED_TRACE(std::string("DebugLogging ") + debugLogging);
        mRoot.WriteClientPreferences({{"DebugLogging", debugLogging}});
        fs::remove(mRoot.LogFolder("root") + "/root_Quorvel.log");
        fs::remove(mRoot.LogFolder(Platform::CurrentUserName()) + "/" + Platform::CurrentUserName() + "_Quorvel.log");

        TestSupport::ProgramResult result = RunVantro(test.shell);
        EXPECT_EQ(result.status, exitCode) << result.output;
        std::vector<std::string> expected = ExpectedEntries(test, exitCode);
        EXPECT_EQ(LogEntries(LogText(test.shell)),
                  std::string(debugLogging) == "0" ? ErrorsOnly(expected) : expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, VantroTest, ::testing::ValuesIn(kCases), TestSupport::CaseName());

// Run by a user, the tool runs no script: it says that it needs root and
// fails, or prints its help. The user's first run makes the user's log folder.
TEST(VantroAsUser, SaysItNeedsRootAndFails)
{
    auto nobody = Platform::LookupUser("nobody");
    if (geteuid() != 0 || !nobody)
        GTEST_SKIP() << "needs root to run the tool as the user nobody";
    TestSupport::TempRoot root;
    std::string home = Platform::HomeFolder(*nobody);
    fs::create_directories(home);
    ASSERT_EQ(chown(home.c_str(), nobody->uid, nobody->gid), 0);
    std::string ran = root.Path() + "/ran";
    TestSupport::WriteFileText(root.Folder(Platform::Folder::Install) + kRepairScript, "touch '" + ran + "'\n");
    // A copy the user can reach: the build folder may lie in root's home.
    const std::string vantro = root.Path() + "/Vantro";
    fs::copy_file(CVK_VANTRO_PROGRAM, vantro);
    TestSupport::ProgramResult result = TestSupport::RunProgram(
        {"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "/usr/bin/env",
         "CVK_ROOT=" + root.Path(), vantro});
    EXPECT_EQ(result.status, 1) << result.output;
    EXPECT_NE(result.output.find("Vantro needs root's rights; run it as root."), std::string::npos) << result.output;
    EXPECT_FALSE(fs::exists(ran));
    EXPECT_NE(TestSupport::ReadFileText(root.LogFolder("nobody") + "/nobody_Quorvel.log")
                  .find("(Backcheck, General): Vantro needs root's rights"),
              std::string::npos);
    // Help needs no rights: the manual page's synopsis, and no script.
    TestSupport::ProgramResult help = TestSupport::RunProgram(
        {"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", vantro, "--help"});
    EXPECT_EQ(help.status, 0) << help.output;
    EXPECT_EQ(help.output.rfind("Usage: Vantro\n       Vantro track SCHEME\n       Vantro untrack SCHEME\n", 0), 0u)
        << help.output;
    EXPECT_FALSE(fs::exists(ran));
}

}  // namespace
