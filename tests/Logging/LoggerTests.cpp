#include "CoreLogger/ComponentMapper.h"
#include "CoreLogger/LogFile.h"
#include "CoreLogger/Logger.h"
#include "Common/StringFormat.h"
#include "Platform/Folders.h"
#include "Platform/UserAccount.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using TestSupport::ReadFileText;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The whole line as it must appear, with the time text left as a pattern.
std::regex LinePattern(const std::string& level, const std::string& text)
{
    static const std::string time = R"((Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 0-9][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4})";
    std::string escaped = std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
    return std::regex(level + " \\[" + time + "\\]\\[PID: [0-9]+\\] - " + escaped);
}

class LoggerTest : public ::testing::Test {
protected:
    std::string RootLog() const { return root.LogFolder("root") + "/root_Quorvel.log"; }
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "the log location tests run as root";
    }
    TestSupport::TempRoot root;
};

TEST_F(LoggerTest, LineFormatIsByteExact)
{
    Logger::Log_Info(LogComponents::CoreCups, "hello %s %d 100%");
    std::string text = ReadFileText(RootLog());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    auto lines = Lines(text);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(std::regex_match(lines[0], LinePattern("L", "(Core, CUPS): hello %s %d 100%"))) << lines[0];
    EXPECT_NE(lines[0].find(stringFormat("[PID: %d]", static_cast<int>(getpid()))), std::string::npos);
}

TEST_F(LoggerTest, LevelsAndMarkers)
{
    Logger::Log(LogComponents::HookGeneral, "a");
    Logger::Log_Error(LogComponents::Secure, "b");
    Logger::Log_Debug(LogComponents::Memory, "c");
    Logger::Log_Debug_Start(LogComponents::CoreGeneral, "main");
    Logger::Log_Debug_End(LogComponents::CoreGeneral, "main");
    auto lines = Lines(ReadFileText(RootLog()));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_TRUE(std::regex_match(lines[0], LinePattern("L", "(Hook, General): a")));
    EXPECT_TRUE(std::regex_match(lines[1], LinePattern("E", "(Secure): b")));
    EXPECT_TRUE(std::regex_match(lines[2], LinePattern("D", "(Memory, Memory): c")));
    EXPECT_TRUE(std::regex_match(lines[3], LinePattern("D", "(Core, General): *START*:[ main ]")));
    EXPECT_TRUE(std::regex_match(lines[4], LinePattern("D", "(Core, General): *END*:[ main ]")));
}

TEST_F(LoggerTest, DebugSwitch)
{
    struct Case {
        const char* name;
        std::function<void()> write;
        bool debugWritten;
    };
    const Case cases[] = {
        {"missing", [&] {}, true},
        {"text 1", [&] { root.WriteClientPreferences({{"DebugLogging", "1"}}); }, true},
        {"text no", [&] { root.WriteClientPreferences({{"DebugLogging", "no"}}); }, true},
        {"integer 0",
         [&] {
             TestSupport::WriteFileText(root.Folder(Platform::Folder::SystemPreferences) + "/com.corvane.cvk.client.plist",
                                        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>DebugLogging</key>"
                                        "<integer>0</integer></dict></plist>");
         },
         true},
        {"text 0", [&] { root.WriteClientPreferences({{"DebugLogging", "0"}}); }, false},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(root.Folder(Platform::Folder::SystemPreferences) + "/com.corvane.cvk.client.plist");
        std::filesystem::remove(RootLog());
        c.write();
        Logger::Log_Debug(LogComponents::CoreGeneral, "dbg");
        Logger::Log_Info(LogComponents::CoreGeneral, "info");
        Logger::Log_Error(LogComponents::CoreGeneral, "err");
        auto lines = Lines(ReadFileText(RootLog()));
        EXPECT_EQ(lines.size(), c.debugWritten ? 3u : 2u) << c.name;
        EXPECT_EQ(lines.front()[0], c.debugWritten ? 'D' : 'L') << c.name;
    }
}

TEST_F(LoggerTest, ComponentTexts)
{
    const std::pair<int, const char*> table[] = {
        {0, "Config, General"}, {1, "Hook, General"}, {2, "Backcheck, General"}, {3, "Core, General"},
        {4, "Core, Messaging"}, {5, "Core, CUPS"}, {6, "Core, Settings"}, {7, "Core, Raw Print"},
        {8, "Core, Client Communication"}, {9, "Core, Job Handling"}, {10, "Client, General"},
        {11, "Client, User Interface"}, {12, "Uninstaller, General"}, {13, "Common, General"},
        {14, "Parsetest, General"}, {15, "General"}, {16, "Secure"}, {17, "Memory, Memory"}, {18, "General"},
        {99, "General"}, {-1, "General"},
    };
    for (const auto& [value, text] : table)
        EXPECT_EQ(CoreLogger::ComponentMapper::MapComponents(static_cast<LogComponents>(value)), text) << value;
}

// Root writes its log only where no other user can put or redirect a file;
// anything else drops the line silently.
TEST_F(LoggerTest, RootWritesNowhereAnotherUserControls)
{
    const std::string elsewhere = root.Path() + "/elsewhere";
    const std::string folder = root.Folder(Platform::Folder::SystemLogs);
    struct Case {
        const char* name;
        std::function<void()> arrange;
    };
    const Case cases[] = {
        {"missing folder", [&] { std::filesystem::remove_all(folder); }},
        {"link at the log's path", [&] { std::filesystem::create_symlink(elsewhere, RootLog()); }},
        {"folder writable by others", [&] { std::filesystem::permissions(folder, std::filesystem::perms::all); }},
    };
    for (const Case& c : cases) {
        std::filesystem::create_directories(folder);
        std::filesystem::permissions(folder, std::filesystem::perms(0755));
        std::filesystem::remove(RootLog());
        TestSupport::WriteFileText(elsewhere, "untouched\n");
        c.arrange();
        Logger::Log_Error(LogComponents::CoreGeneral, "lost");
        EXPECT_EQ(ReadFileText(elsewhere), "untouched\n") << c.name;
        EXPECT_FALSE(std::filesystem::is_regular_file(std::filesystem::symlink_status(RootLog()))) << c.name;
    }
}

// The user's first line makes the log folder (and ~/.local/state), for the
// user alone.
TEST_F(LoggerTest, OrdinaryUserWritesInItsOwnHome)
{
    auto nobody = Platform::LookupUser("nobody");
    if (!nobody)
        GTEST_SKIP() << "no user nobody";
    std::string logs = Platform::FolderPathFor(Platform::Folder::UserLogs, *nobody);
    std::string home = Platform::HomeFolder(*nobody);
    std::filesystem::create_directories(home);
    ASSERT_EQ(chown(home.c_str(), nobody->uid, nobody->gid), 0);
    ASSERT_FALSE(std::filesystem::exists(logs));
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(nobody->gid) != 0 || setuid(nobody->uid) != 0)
            _exit(2);
        Logger::Log_Info(LogComponents::CoreGeneral, "from nobody");
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    auto lines = Lines(ReadFileText(logs + "/nobody_Quorvel.log"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(std::filesystem::status(logs + "/nobody_Quorvel.log").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_TRUE(std::regex_match(lines[0], LinePattern("L", "(Core, General): from nobody")));
    EXPECT_FALSE(std::filesystem::exists(RootLog()));
    for (const std::string& made : {logs, home + "/.local/state", home + "/.local"})
        EXPECT_EQ(std::filesystem::status(made).permissions(), std::filesystem::perms::owner_all) << made;
}

// Enough lines pass the size limit once: the full file becomes the previous
// generation and a new one is begun, and no line is lost or torn.
TEST_F(LoggerTest, ThreadsAndProcessesNeverTearOrLoseLinesAcrossTheRollOver)
{
    constexpr int kThreads = 6, kProcesses = 3, kLines = 150;
    const std::string filler(10 * 1024, 'x');
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0; i < kLines; ++i)
                Logger::Log_Info(LogComponents::CoreGeneral, stringFormat("proc %d line %d %s", p, i, filler));
            _exit(0);
        }
        children.push_back(child);
    }
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t, &filler] {
            for (int i = 0; i < kLines; ++i)
                Logger::Log_Error(LogComponents::CoreGeneral, stringFormat("thread %d line %d %s", t, i, filler));
        });
    for (auto& thread : threads)
        thread.join();
    for (pid_t child : children)
        waitpid(child, nullptr, 0);

    const std::string previous = RootLog() + ".1";
    const auto limit = static_cast<uintmax_t>(CoreLogger::LogFile::RollOverSize);
    const uintmax_t line = filler.size() + 100;
    EXPECT_GT(std::filesystem::file_size(previous), limit);
    EXPECT_LE(std::filesystem::file_size(previous), limit + (kThreads + kProcesses) * line);
    EXPECT_LT(std::filesystem::file_size(RootLog()), limit);
    auto lines = Lines(ReadFileText(previous) + ReadFileText(RootLog()));
    ASSERT_EQ(lines.size(), static_cast<size_t>((kThreads + kProcesses) * kLines));
    const std::regex whole(R"([LE] \[[^\]]+\]\[PID: [0-9]+\] - \(Core, General\): (proc|thread) [0-9]+ line [0-9]+ x{10240})");
    for (const auto& text : lines)
        ASSERT_TRUE(std::regex_match(text, whole)) << text.substr(0, 120);
}

}  // namespace
