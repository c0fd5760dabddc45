#include "tests/Hook/HookHarness.h"

#include "Platform/ScopedDescriptor.h"
#include "Platform/SealedFile.h"

#include "tests/Support/ChildProgram.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace HookTests {

namespace {

// Sets or replaces one value of an environment list.
void SetValue(Environment& environment, const std::string& name, const std::string& value)
{
    for (auto& [key, existing] : environment) {
        if (key == name) {
            existing = value;
            return;
        }
    }
    environment.emplace_back(name, value);
}

// Writes all bytes into a pipe, stopping when its reader has gone. SIGPIPE
// is held back on this thread so that a reader that leaves early (a cancelled
// job) makes the write fail instead of ending the test.
void FeedPipe(int fd, const std::string& data, std::chrono::milliseconds pause)
{
    std::this_thread::sleep_for(pause);
    sigset_t pipeOnly;
    sigemptyset(&pipeOnly);
    sigaddset(&pipeOnly, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeOnly, nullptr);
    for (size_t done = 0; done < data.size();) {
        ssize_t written = write(fd, data.data() + done, data.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break;
        done += static_cast<size_t>(written);
    }
    close(fd);
}

// Starts cvkhook with the given standard input descriptor and waits for it.
HookResult SpawnHook(const std::vector<std::string>& arguments, int stdinFd, const Environment& environment,
                     const std::string& errorPath, const std::function<void(pid_t)>& whileRunning)
{
    std::vector<std::string> environmentTexts;
    for (const auto& [name, value] : environment)
        environmentTexts.push_back(name + "=" + value);
    auto argv = TestSupport::ArgumentArray(arguments);
    auto envp = TestSupport::ArgumentArray(environmentTexts);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    pid_t pid = -1;
    int spawned = posix_spawn(&pid, CVK_HOOK_PROGRAM, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    HookResult result;
    if (spawned != 0)
        return result;
    if (whileRunning)
        whileRunning(pid);
    result.peakMemoryKb = TestSupport::PeakResidentKibUntilExit(pid);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    result.errors = TestSupport::ReadFileText(errorPath);
    return result;
}

}  // namespace

HookSetup::HookSetup()
{
    mRoot.WriteClientPreferences({{"ClientServicesUrl", "https://accounting.example:9443"},
                                  {"ClientDirectory", "/usr/lib/quorvel"},
                                  {"DebugLogging", "1"}});
    for (const auto& folder : {ServerBin() + "/backend", ServerBin() + "/.cvkbackend", Records(), SpillFolder()})
        fs::create_directories(folder);
    fs::permissions(Records(), fs::perms::all);
    fs::copy_file(CVK_HOOK_PROGRAM, ServerBin() + "/backend/" + kScheme);
    fs::copy_file(CVK_RECORDING_BACKEND, ServerBin() + "/.cvkbackend/" + kScheme);
    fs::create_directories(mRoot.Host("/var/spool/cups"));
    fs::create_directories(mRoot.Folder(Platform::Folder::SystemData));
    TestSupport::WriteFileText(LauncherProgram(), "#!/bin/sh\necho \"$@\" >> \"$CVK_TEST_LAUNCH_LOG\"\n");
    // The launcher runs as the job's owner.
    TestSupport::WriteFileText(LaunchLog(), "");
    fs::permissions(LaunchLog(), fs::perms(0666));
    fs::permissions(LauncherProgram(), fs::perms(0755));
}

Environment HookSetup::HookEnvironment() const
{
    return {{"PATH", "/usr/bin:/bin"},
            {"CVK_ROOT", mRoot.Path()},
            {"CUPS_SERVERBIN", ServerBin()},
            {"CVK_RECORD_DIR", Records()},
            {"TMPDIR", SpillFolder()},
            {"CVK_HOOK_SECOND_MS", "2"},
            {"CVK_CLIENT_LAUNCHER", LauncherProgram()},
            {"CVK_TEST_LAUNCH_LOG", LaunchLog()}};
}

std::string HookSetup::CupsSpoolFile(int jobId) const
{
    char name[32];
    std::snprintf(name, sizeof name, "/d%05d-001", jobId);
    return mRoot.Host("/var/spool/cups") + name;
}

std::string HookSetup::PayloadCopy(int jobId) const
{
    return mRoot.Folder(Platform::Folder::SystemData) + "/.Secure_" + std::to_string(jobId) + ".payload";
}

std::vector<std::string> HookSetup::JobArguments(int jobId, const std::string& user) const
{
    return {kDeviceUri, std::to_string(jobId), user, "Quarterly report", "1", "media=a4"};
}

HookResult HookSetup::Run(const std::vector<std::string>& arguments, const StdinFeed& feed,
                          const Environment& extra, const std::function<void(pid_t)>& whileRunning) const
{
    Environment environment = HookEnvironment();
    for (const auto& [name, value] : extra)
        SetValue(environment, name, value);
    std::string errorPath = mRoot.Path() + "/hook.err";
    if (!feed.throughPipe) {
        std::string path = mRoot.Path() + "/stdin.bin";
        TestSupport::WriteFileText(path, feed.data);
        int input = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        HookResult result = SpawnHook(arguments, input, environment, errorPath, whileRunning);
        close(input);
        return result;
    }
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return HookResult{};
    std::thread feeder;
    HookResult result = SpawnHook(arguments, ends[0], environment, errorPath, [&](pid_t hook) {
        close(ends[0]);
        feeder = std::thread(FeedPipe, ends[1], std::cref(feed.data), feed.pause);
        if (whileRunning)
            whileRunning(hook);
    });
    if (feeder.joinable()) {
        feeder.join();
    } else {
        close(ends[0]);
        close(ends[1]);
    }
    return result;
}

FakeClient::FakeClient(const std::string& user, Script script, std::function<void()> onNewJob)
    : mChannel(user.c_str())
{
    mblnListening = mChannel.Listen();
    if (mblnListening)
        mThread = std::thread([this, script, onNewJob] { mServe(script, onNewJob); });
}

FakeClient::~FakeClient()
{
    mChannel.StopListening();
    if (mThread.joinable())
        mThread.join();
}

void FakeClient::Finish(std::chrono::milliseconds limit)
{
    if (!mThread.joinable())
        return;
    if (!TestSupport::WaitUntil([&] { return mblnServed.load(); }, limit))
        mChannel.StopListening();
    mThread.join();
}

// Answers the first hook connection as the script says, then closes it.
void FakeClient::mServe(Script script, const std::function<void()>& onNewJob)
{
    struct Served {
        std::atomic<bool>& flag;
        ~Served() { flag = true; }
    } served{mblnServed};
    ClientCommunicationChannel connection = mChannel.Accept();
    if (!connection.IsConnected())
        return;
    ClientMessage announcement = connection.ReceiveMessage();
    if (!announcement.Is(ClientMessageType::Notify, ClientMessageSubType::NewJob))
        return;
    mAnnouncedJobId = announcement.GetMessageContentParam1();
    if (onNewJob)
        onNewJob();

    auto send = [&](unsigned char type, unsigned char subType) {
        const unsigned char header[] = {type, subType};
        connection.SendMessage(ClientMessage(header));
    };
    switch (script) {
    case Script::PrintAfterPageSets:
        send('R', 'P');
        mPageSetReply = connection.ReceiveMessage();
        mSealedCopy = mReadSealedCopy(connection.TakeReceivedDescriptor());
        send('R', 'Z');
        break;
    case Script::PrintAtOnce:
        send('R', 'Z');
        break;
    case Script::Cancel:
        send('R', 'X');
        break;
    case Script::Hold:
        send('R', 'H');
        break;
    case Script::CloseAfterPageRequest:
        send('R', 'P');
        break;
    case Script::UnknownRequest:
        send('R', 'Q');
        break;
    case Script::InvalidMessage:
        send('Q', 'Q');
        break;
    case Script::NoAnswer:
        connection.ReceiveMessage();
        break;
    }
    connection.Disconnect();
}

// What a descriptor that came with the page data holds, when it is sealed
// against every change; none otherwise.
std::optional<std::string> FakeClient::mReadSealedCopy(int descriptor)
{
    Platform::ScopedDescriptor sealed{descriptor};
    if (sealed.fd < 0 || !Platform::IsSealedFile(sealed.fd))
        return std::nullopt;
    std::string bytes;
    char buffer[4096];
    for (ssize_t got; (got = pread(sealed.fd, buffer, sizeof buffer, static_cast<off_t>(bytes.size()))) > 0;)
        bytes.append(buffer, static_cast<size_t>(got));
    return bytes;
}

std::string SampleJob()
{
    return TestSupport::ReadFileText(CVK_SAMPLE_JOB);
}

}  // namespace HookTests
