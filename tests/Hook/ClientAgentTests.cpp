// The platform pieces the hook uses to find and start a user's client: the
// process lookup in the process table under the filesystem root and the
// user-unit launcher with its test stand-in.
#include "Platform/ClientAgentLauncher.h"
#include "Platform/ProcessLookup.h"
#include "Platform/UserAccount.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ClientAgentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mstrLog = mRoot.Path() + "/launches.log";
        mstrLauncher = mRoot.Path() + "/launcher.sh";
        TestSupport::WriteFileText(mstrLauncher, "#!/bin/sh\necho \"$(id -u) $(pwd) $@\" >> \"$CVK_TEST_LAUNCH_LOG\"\n");
        fs::permissions(mstrLauncher, fs::perms(0755));
        fs::permissions(mRoot.Path(), fs::perms(0777));
        // Written by every user the launcher runs as.
        TestSupport::WriteFileText(mstrLog, "");
        fs::permissions(mstrLog, fs::perms(0666));
        setenv(Platform::ClientAgentLauncher::LauncherVariable, mstrLauncher.c_str(), 1);
        setenv("CVK_TEST_LAUNCH_LOG", mstrLog.c_str(), 1);
    }

    void TearDown() override
    {
        unsetenv(Platform::ClientAgentLauncher::LauncherVariable);
        unsetenv("CVK_TEST_LAUNCH_LOG");
    }

    TestSupport::TempRoot mRoot;
    std::string mstrLog;
    std::string mstrLauncher;
};

}  // namespace

// The lookup reads the process table under the test's root: a real process
// is seen only once that table is the machine's own.
TEST_F(ClientAgentTest, ProcessLookupIsBoundToNameAndRealUserInItsOwnWorld)
{
    std::string program = mRoot.Path() + "/cvkagentprobe";
    fs::copy_file("/bin/sleep", program);
    pid_t pid = TestSupport::StartProgram({program, "30"});
    ASSERT_GT(pid, 0);
    std::string comm = "/proc/" + std::to_string(pid) + "/comm";
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return TestSupport::ReadFileText(comm) == "cvkagentprobe\n"; },
                                       std::chrono::seconds(5)));
    EXPECT_FALSE(Platform::IsProcessRunning("cvkagentprobe", getuid()));
    TestSupport::StopProgram(pid);

    fs::create_directory_symlink("/proc", mRoot.Host("/proc"));
    // Names past the kernel's fifteen characters are compared on those.
    for (std::string name : {"cvkagentprobe", "cvkagent-probe-longer-name"}) {
        std::string program = mRoot.Path() + "/" + name;
        fs::copy_file("/bin/sleep", program, fs::copy_options::skip_existing);
        EXPECT_FALSE(Platform::IsProcessRunning(name, getuid())) << name;
        pid_t pid = TestSupport::StartProgram({program, "30"});
        ASSERT_GT(pid, 0);
        EXPECT_TRUE(TestSupport::WaitUntil([&] { return Platform::IsProcessRunning(name, getuid()); },
                                           std::chrono::seconds(5)))
            << name;
        EXPECT_FALSE(Platform::IsProcessRunning(name, getuid() + 4242)) << name;
        EXPECT_FALSE(Platform::IsProcessRunning("x" + name, getuid())) << name;
        TestSupport::StopProgram(pid);
        EXPECT_FALSE(Platform::IsProcessRunning(name, getuid())) << name;
    }
}

TEST_F(ClientAgentTest, LauncherRunsAsTheUserItStartsTheAgentFor)
{
    auto self = Platform::CurrentUser();
    ASSERT_TRUE(self.has_value());
    Platform::ClientAgentLauncher launcher("quorvel-client.service");
    EXPECT_EQ(launcher.Stop(*self), 0);
    EXPECT_EQ(launcher.Start(*self), 0);
    std::string expected = std::to_string(self->uid) + " / stop quorvel-client.service " + self->name + "\n"
                           + std::to_string(self->uid) + " / start quorvel-client.service " + self->name + "\n";

    // As root, another user's agent is started with that user's ids; a
    // process that is neither root nor that user starts nothing.
    auto other = Platform::LookupUser("nobody");
    if (geteuid() == 0 && other) {
        EXPECT_EQ(launcher.Start(*other), 0);
        expected += std::to_string(other->uid) + " / start quorvel-client.service nobody\n";
        pid_t child = fork();
        if (child == 0) {
            if (setresgid(other->gid, other->gid, other->gid) != 0 || setresuid(other->uid, other->uid, other->uid) != 0)
                _exit(90);
            _exit(launcher.Start(*self));
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    }
    EXPECT_EQ(TestSupport::ReadFileText(mstrLog), expected);
}

TEST_F(ClientAgentTest, MissingLauncherProgramReportsFailure)
{
    setenv(Platform::ClientAgentLauncher::LauncherVariable, (mRoot.Path() + "/missing").c_str(), 1);
    auto self = Platform::CurrentUser();
    ASSERT_TRUE(self.has_value());
    EXPECT_EQ(Platform::ClientAgentLauncher("quorvel-client.service").Start(*self), 1);
}
