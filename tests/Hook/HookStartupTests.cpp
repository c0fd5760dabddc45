// The hook's start-up as CUPS runs it: preferences, device listing, the
// client check and start, and job data that must never reach a shell.
#include "Platform/UserAccount.h"
#include "tests/Hook/HookHarness.h"
#include "tests/Support/ChildRecord.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/UserSocketClient.h"

#include <gtest/gtest.h>

#include <cups/backend.h>

#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using HookTests::FakeClient;
using HookTests::HookResult;
using HookTests::StdinFeed;
namespace fs = std::filesystem;

namespace {

class HookStartupTest : public ::testing::Test {
protected:
    std::string Launches() const { return TestSupport::ReadFileText(mSetup.LaunchLog()); }

    HookTests::HookSetup mSetup;
    std::string mstrUser = Platform::CurrentUserName();
};

}  // namespace

TEST_F(HookStartupTest, IncompletePreferencesStopTheQueueButNotTheDeviceListing)
{
    mSetup.Root().WriteClientPreferences({{"ClientDirectory", "/usr/lib/quorvel"}, {"DebugLogging", "1"}});
    {
        FakeClient client(mstrUser, FakeClient::Script::PrintAtOnce);
        HookResult result = mSetup.Run(mSetup.JobArguments(12, mstrUser), StdinFeed{"job"});
        EXPECT_EQ(result.status, CUPS_BACKEND_STOP);
        EXPECT_NE(result.errors.find("ERROR: The Quorvel preferences are incomplete"), std::string::npos)
            << result.errors;
        EXPECT_TRUE(fs::is_empty(mSetup.Records()));
    }
    std::string ownPath = mSetup.ServerBin() + "/backend/" + HookTests::kScheme;
    HookResult listing = mSetup.Run({ownPath}, StdinFeed{});
    EXPECT_EQ(listing.status, 0) << listing.errors;
    EXPECT_EQ(TestSupport::ReadChildRecord(mSetup.Records(), "list").Get("argc"), "1");
    EXPECT_EQ(Launches(), "");
}

TEST_F(HookStartupTest, DeviceListingRunsTheWrappedBackendAlone)
{
    std::string ownPath = mSetup.ServerBin() + "/backend/" + HookTests::kScheme;
    HookResult result = mSetup.Run({ownPath}, StdinFeed{});
    EXPECT_EQ(result.status, 0) << result.errors;
    auto record = TestSupport::ReadChildRecord(mSetup.Records(), "list");
    EXPECT_EQ(record.Get("argc"), "1");
    EXPECT_EQ(record.Get("argv[0]"), ownPath);
    // cupsd also runs cvkhook under its own name: it lists nothing and ends well.
    HookResult own = mSetup.Run({mSetup.ServerBin() + "/backend/cvkhook"}, StdinFeed{});
    EXPECT_EQ(own.status, 0) << own.errors;
    EXPECT_EQ(Launches(), "");
}

TEST_F(HookStartupTest, TooFewArgumentsCancelTheJob)
{
    HookResult result = mSetup.Run({HookTests::kDeviceUri, "12"}, StdinFeed{"job"});
    EXPECT_EQ(result.status, 5);
    EXPECT_TRUE(fs::is_empty(mSetup.Records()));
}

TEST_F(HookStartupTest, UserNamesWithShellCharactersRunNothing)
{
    std::string trap = mSetup.Root().Path() + "/trap";
    const std::string names[] = {
        "x;touch " + trap,
        "$(touch " + trap + ")",
        "`touch " + trap + "`",
        "x' ; touch " + trap + " #",
        "x\ntouch " + trap,
        "x|touch${IFS}" + trap,
    };
    int jobId = 20;
    for (const auto& name : names) {
        ++jobId;
        HookResult result = mSetup.Run(mSetup.JobArguments(jobId, name), StdinFeed{"job data"});
        // No client can run for such a user: the job is printed untracked.
        EXPECT_EQ(result.status, 0) << name << "\n" << result.errors;
        auto record = TestSupport::ReadChildRecord(mSetup.Records(), std::to_string(jobId));
        EXPECT_EQ(record.data, "job data") << name;
        EXPECT_FALSE(fs::exists(trap)) << name;
        // The name reaches the scheduler's lines, but starts none of its own.
        std::istringstream lines(result.errors);
        for (std::string line; std::getline(lines, line);)
            EXPECT_TRUE(line.starts_with("INFO: ") || line.starts_with("ERROR: ")) << line;
    }
    EXPECT_EQ(Launches(), "");
}

TEST_F(HookStartupTest, ClientProcessOfTheOwnerIsNotStartedAgain)
{
    // The owner's client runs in the test's own process table.
    std::string process = mSetup.Root().Host("/proc/4242");
    std::string uid = std::to_string(getuid());
    TestSupport::WriteFileText(process + "/comm", std::string(CVK_CLIENT_PROCESS_NAME) + "\n");
    TestSupport::WriteFileText(process + "/status", "Name:\tclient\nUid:\t" + uid + "\t" + uid + "\t" + uid + "\t" + uid + "\n");
    {
        FakeClient client(mstrUser, FakeClient::Script::PrintAtOnce);
        HookResult result = mSetup.Run(mSetup.JobArguments(30, mstrUser), StdinFeed{"job"});
        client.Finish();
        EXPECT_EQ(result.status, 0) << result.errors;
        EXPECT_EQ(client.AnnouncedJobId(), 30u);
    }
    EXPECT_EQ(Launches(), "");

    // Once it is gone, the next job starts the agent first, as its owner.
    fs::remove_all(process);
    FakeClient client(mstrUser, FakeClient::Script::PrintAtOnce);
    HookResult result = mSetup.Run(mSetup.JobArguments(31, mstrUser), StdinFeed{"job"});
    client.Finish();
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(Launches(), "stop quorvel-client.service " + mstrUser + "\nstart quorvel-client.service " + mstrUser + "\n");
}

// A client of the same user that runs on the machine (an installed client,
// another test run) is not the test world's: the hook still starts its own.
// The job's owner is nobody, so that the stand-in client process is seen by
// no hook of another test run that still looks at the machine's processes.
TEST_F(HookStartupTest, ClientProcessOutsideTheTestWorldIsNotSeen)
{
    auto owner = Platform::LookupUser("nobody");
    if (geteuid() != 0 || !owner)
        GTEST_SKIP() << "needs root and the user nobody";
    std::string program = mSetup.Root().Path() + "/" + CVK_CLIENT_PROCESS_NAME;
    fs::copy_file("/bin/sleep", program);
    pid_t running = fork();
    if (running == 0) {
        if (setresgid(owner->gid, owner->gid, owner->gid) == 0 && setresuid(owner->uid, owner->uid, owner->uid) == 0
            && prctl(PR_SET_PDEATHSIG, SIGKILL) == 0)
            execl(program.c_str(), program.c_str(), "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(running, 0);
    std::string comm = "/proc/" + std::to_string(running) + "/comm";
    bool seen = TestSupport::WaitUntil(
        [&] { return TestSupport::ReadFileText(comm) == std::string(CVK_CLIENT_PROCESS_NAME) + "\n"; },
        std::chrono::seconds(5));
    TestSupport::UserSocketClient client(owner->name, mSetup.Root().Path() + "/client.report");
    EXPECT_FALSE(client.WaitUntilListening().empty());
    HookResult result = mSetup.Run(mSetup.JobArguments(32, owner->name), StdinFeed{"job"});
    kill(running, SIGKILL);
    waitpid(running, nullptr, 0);
    ASSERT_TRUE(seen);
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(client.Jobs(), std::vector<uint32_t>{32});
    EXPECT_EQ(Launches(), "stop quorvel-client.service nobody\nstart quorvel-client.service nobody\n");
}

TEST_F(HookStartupTest, ClientThatComesUpAfterTheStartIsWaitedFor)
{
    // Seconds of 20 ms: the hook polls for the socket every 140 ms, in all
    // for about three seconds.
    // The started client runs (its process appears at once) but takes a
    // while to listen.
    std::string uid = std::to_string(getuid());
    TestSupport::WriteFileText(mSetup.LauncherProgram(),
                               "#!/bin/sh\necho \"$@\" >> \"$CVK_TEST_LAUNCH_LOG\"\n"
                               "[ \"$1\" = start ] || exit 0\nprocess=\"$CVK_ROOT/proc/4243\"\nmkdir -p \"$process\"\n"
                               "echo '" CVK_CLIENT_PROCESS_NAME "' > \"$process/comm\"\n"
                               "printf 'Name:\\tclient\\nUid:\\t" + uid + "\\t" + uid + "\\t" + uid + "\\t" + uid
                                   + "\\n' > \"$process/status\"\n");
    std::optional<FakeClient> client;
    std::thread starter([&] {
        TestSupport::WaitUntil([&] { return Launches().find("start") != std::string::npos; },
                               std::chrono::seconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        client.emplace(mstrUser, FakeClient::Script::Cancel);
    });
    HookResult result = mSetup.Run(mSetup.JobArguments(33, mstrUser), StdinFeed{"job"},
                                   {{"CVK_HOOK_SECOND_MS", "20"}});
    starter.join();
    ASSERT_TRUE(client.has_value());
    client->Finish();
    EXPECT_EQ(result.status, 5) << result.errors;
    EXPECT_EQ(client->AnnouncedJobId(), 33u);
}

// A client whose start fails (no user manager), or that ends right after it
// (no display), is not waited for: the job prints untracked at once.
// Seconds of 100 ms: waiting for the socket would take about 15 s.
TEST_F(HookStartupTest, ClientThatCannotRunIsNotWaitedFor)
{
    struct StartCase {
        const char* name;
        const char* onStart;  // what the stand-in launcher does for "start"
    };
    const StartCase cases[] = {
        {"start fails", "exit 1"},
        {"client ends at once", "exit 0"},
    };
    int jobId = 40;
    for (const StartCase& c : cases) {
        TestSupport::WriteFileText(mSetup.LauncherProgram(), std::string("#!/bin/sh\necho \"$@\" >> \"$CVK_TEST_LAUNCH_LOG\"\n"
                                                                          "[ \"$1\" = start ] && ")
                                                                  + c.onStart + "\nexit 0\n");
        auto started = std::chrono::steady_clock::now();
        HookResult result = mSetup.Run(mSetup.JobArguments(jobId, mstrUser), StdinFeed{"job"},
                                       {{"CVK_HOOK_SECOND_MS", "100"}});
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << c.name;
        EXPECT_EQ(result.status, 0) << c.name << result.errors;
        EXPECT_EQ(TestSupport::ReadChildRecord(mSetup.Records(), std::to_string(jobId)).data, "job") << c.name;
        ++jobId;
    }
    EXPECT_EQ(Launches(), "stop quorvel-client.service " + mstrUser + "\nstart quorvel-client.service " + mstrUser
                              + "\nstop quorvel-client.service " + mstrUser + "\nstart quorvel-client.service "
                              + mstrUser + "\n");
}

// The installation's removal puts the wrapped backend back in its place
// while a job waits for its client: the hook runs it from there.
TEST_F(HookStartupTest, BackendPutBackWhileTheJobWaitsStillPrintsIt)
{
    std::string place = mSetup.ServerBin() + "/backend/" + HookTests::kScheme;
    FakeClient client(mstrUser, FakeClient::Script::PrintAtOnce, [&] {
        fs::rename(mSetup.ServerBin() + "/.cvkbackend/" + HookTests::kScheme, place);
    });
    HookResult result = mSetup.Run(mSetup.JobArguments(35, mstrUser), StdinFeed{"job"});
    client.Finish();
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(TestSupport::ReadChildRecord(mSetup.Records(), "35").data, "job");
}

TEST_F(HookStartupTest, ListenerOfAnotherUserNeverGetsTheJob)
{
    auto other = Platform::LookupUser("nobody");
    if (geteuid() != 0 || !other)
        GTEST_SKIP() << "needs root and the user nobody";
    // Another local user listens on the owner's socket path; it would learn
    // the job (and could approve it) if the hook talked to it.
    int ready[2];
    ASSERT_EQ(pipe2(ready, O_CLOEXEC), 0);
    pid_t rogue = fork();
    if (rogue == 0) {
        close(ready[0]);
        if (setresgid(other->gid, other->gid, other->gid) != 0 || setresuid(other->uid, other->uid, other->uid) != 0)
            _exit(90);
        ClientCommunicationChannel listener(mstrUser.c_str());
        if (!listener.Listen())
            _exit(91);
        (void)!write(ready[1], "r", 1);
        ClientCommunicationChannel connection = listener.Accept();
        bool heardOfJob = connection.IsConnected()
                          && connection.ReceiveMessage().Is(ClientMessageType::Notify, ClientMessageSubType::NewJob);
        _exit(heardOfJob ? 1 : 0);
    }
    close(ready[1]);
    char signal = 0;
    ASSERT_EQ(read(ready[0], &signal, 1), 1);
    close(ready[0]);

    HookResult result = mSetup.Run(mSetup.JobArguments(35, mstrUser), StdinFeed{"job"});
    // Printed untracked, as without a client.
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_TRUE(fs::exists(mSetup.Records() + "/35.txt"));
    EXPECT_NE(mSetup.LogText().find("refused socket"), std::string::npos);
    // The hook is done: whatever reached the listener has reached it by now.
    int status = 0;
    bool ended = TestSupport::WaitUntil([&] { return waitpid(rogue, &status, WNOHANG) == rogue; },
                                        std::chrono::milliseconds(500));
    if (!ended) {
        kill(rogue, SIGKILL);
        waitpid(rogue, &status, 0);
    }
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "the listener heard of the job";
}

// Every job waits for the hook's start: it loads neither the CUPS library nor
// the PDF reader's qpdf (nor what they bring) until a job needs them, and no
// SNMP library at all.
TEST(HookStartupWeight, TheHookStartsWithoutTheCupsLibraryOrQpdf)
{
    TestSupport::ProgramResult loaded = TestSupport::RunProgram({"ldd", CVK_HOOK_PROGRAM});
    ASSERT_EQ(loaded.status, 0) << loaded.output;
    for (const char* library : {"libcups.so", "libqpdf.so", "libgnutls.so", "libnetsnmp.so"})
        EXPECT_EQ(loaded.output.find(library), std::string::npos) << library << " in:\n" << loaded.output;
}
