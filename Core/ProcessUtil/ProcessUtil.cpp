#include "Core/ProcessUtil/ProcessUtil.h"

#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"
#include "Platform/CupsBackendAccount.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <linux/close_range.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace CVClientData {

namespace {

constexpr auto kComponent = LogComponents::CoreCups;
using Log = ComponentLog<kComponent>;
constexpr size_t kCopyPieceSize = 65536;

// CUPS hands a backend descriptors 0 to 4 (job data, status, errors, back
// and side channel); nothing above them belongs to the backend.
constexpr unsigned kFirstPrivateDescriptor = 5;

// The text of an errno value.
std::string ErrorText(int error)
{
    return std::strerror(error);
}

// Tells the scheduler, on the standard error the backend would have had, why
// the backend did not run.
void ReportToScheduler(const std::string& text)
{
    std::string line = "ERROR: " + text + "\n";
    (void)!write(STDERR_FILENO, line.data(), line.size());
}

// Gives the child the signal state of a freshly started program: the hook
// ignores SIGPIPE for its own socket, the backend must not inherit that.
void mResetChildSignals()
{
    signal(SIGPIPE, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
}

// Keeps every descriptor above the backend's five (the client link, log
// files) from reaching the program.
void mCloseParentDescriptorsOnExec()
{
    syscall(SYS_close_range, kFirstPrivateDescriptor, ~0U, CLOSE_RANGE_CLOEXEC);
}

// Points the given standard descriptors at /dev/null, so that this process no
// longer holds the originals and later opens cannot take their numbers.
void mReleaseStandardDescriptors(std::initializer_list<int> descriptors)
{
    int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    for (int fd : descriptors) {
        if (null >= 0)
            dup2(null, fd);
        else
            close(fd);
    }
    if (null > STDERR_FILENO)
        close(null);
}

// The child being waited for; lock-free, so a signal handler may read it.
std::atomic<pid_t> gRunningChild{0};
static_assert(std::atomic<pid_t>::is_always_lock_free);

// Clears the running child when the wait is over.
struct RunningChildMark {
    explicit RunningChildMark(pid_t pid) { gRunningChild.store(pid); }
    ~RunningChildMark() { gRunningChild.store(0); }
};

// Waits for the child and turns its end into the reported status.
int mWaitForChild(pid_t pid)
{
    int status = 0;
    pid_t waited = -1;
    if (pid > 0) {
        do {
            waited = waitpid(pid, &status, 0);
        } while (waited < 0 && errno == EINTR);
    } else {
        errno = ECHILD;
    }
    if (waited < 0) {
        Log::Error("waitpid failed: %s", ErrorText(errno));
        return ProcessUtil::FailureStatus;
    }
    Log::Debug("waitpid successful");
    if (WIFEXITED(status)) {
        Log::Debug("child process exited normally with result: %d", WEXITSTATUS(status));
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status))
        Log::Debug("child process exited due to signal: %d", WTERMSIG(status));
    else if (WIFSTOPPED(status))
        Log::Debug("child process stopped due to signal: %d", WSTOPSIG(status));
    return ProcessUtil::FailureStatus;
}

// The child's last steps: lower privileges as the program's mode asks, then
// become the program. Never returns.
[[noreturn]] void mExecuteInChild(const char* path, char* const arguments[])
{
    mResetChildSignals();
    mCloseParentDescriptorsOnExec();
    if (!ProcessUtil::CheckPermissionsAndSetUidIfAble(path))
        _exit(ProcessUtil::FailureStatus);
    Log::Debug("Executing %s", path);
    execv(path, arguments);
    Log::Error("execv failed with error: %s", ErrorText(errno));
    _exit(ProcessUtil::FailureStatus);
}

// Spawn attributes that give the program the signal state of a freshly
// started one: SIGPIPE, which this process ignores, back to its default, and
// no signal blocked.
void mFreshSignalState(posix_spawnattr_t& attributes)
{
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
}

// Whether the program keeps this process's rights: nothing is then left to
// do between the fork and the exec that spawn's attributes cannot do.
bool mKeepsRights(const char* path)
{
    if (geteuid() != 0) {
        Log::Debug("not root: running it as this process runs.");
        return true;
    }
    if (Platform::JudgeBackend(path).rights != Platform::BackendRights::Root)
        return false;
    Log::Debug("need root to execute.");
    return true;
}

// Starts a program that keeps this process's rights with posix_spawn, which
// copies nothing of this process (a fork copies the page tables of every
// library the hook has loaded): the program starts with the signal state of
// a fresh one, without the descriptors above the backend's five, and, when
// one is given, on the standard input given. The child's pid, or -1 when it
// could not be started.
pid_t mSpawnKeepingRights(const char* path, char* const arguments[], int standardInput)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (standardInput >= 0 && standardInput != STDIN_FILENO)
        posix_spawn_file_actions_adddup2(&actions, standardInput, STDIN_FILENO);
    posix_spawn_file_actions_addclosefrom_np(&actions, static_cast<int>(kFirstPrivateDescriptor));
    posix_spawnattr_t attributes;
    mFreshSignalState(attributes);
    Log::Debug("Executing %s", path);
    pid_t pid = -1;
    int error = posix_spawn(&pid, path, &actions, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        Log::Error("execv failed with error: %s", ErrorText(error));
        return -1;
    }
    return pid;
}

// Writes all bytes into the pipe, waiting without a time-out until it takes
// data. False when the reader has gone (the copying must stop).
bool mWriteToPipe(int fd, const unsigned char* data, size_t length)
{
    while (length > 0) {
        pollfd writable{fd, POLLOUT, 0};
        int ready = poll(&writable, 1, -1);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            Log::Error("Select returned an error: %s - exiting.", ErrorText(errno));
            _exit(ProcessUtil::FailureStatus);
        }
        ssize_t written = write(fd, data, length);
        if (written < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            Log::Error("Writing to the child's standard input failed: %s", ErrorText(errno));
            return false;
        }
        data += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

// Reads once from a descriptor, retrying when a signal interrupts.
ssize_t mReadRetrying(int fd, void* buffer, size_t size)
{
    ssize_t got;
    do {
        got = read(fd, buffer, size);
    } while (got < 0 && errno == EINTR);
    return got;
}

// Copies the rest of standard input into the pipe until its end, a read
// error or a reader that has gone.
void mCopyStandardInput(int pipeWrite)
{
    Log::Debug("STDIN_FILENO = %d", STDIN_FILENO);
    std::vector<unsigned char> buffer(kCopyPieceSize);
    for (;;) {
        ssize_t got = mReadRetrying(STDIN_FILENO, buffer.data(), buffer.size());
        if (got <= 0)
            break;
        Log::Debug("Reading buffer from STDIN_FILENO");
        Log::Debug("Read - %ld bytes", static_cast<long>(got));
        Log::Debug("Writing buffer to intStdinPipe[1]");
        if (!mWriteToPipe(pipeWrite, buffer.data(), static_cast<size_t>(got)))
            break;
    }
}

// How copying a file into the child's pipe ended.
enum class FileReplay { Complete, ReaderGone, SourceFailed };

// Copies a file's whole content, from its start, into the pipe.
FileReplay mReplayFile(int pipeWrite, int file)
{
    std::vector<unsigned char> buffer(kCopyPieceSize);
    for (off_t offset = 0;;) {
        ssize_t got;
        do {
            got = pread(file, buffer.data(), buffer.size(), offset);
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            Log::Error("Reading the spooled job data failed: %s", ErrorText(errno));
            return FileReplay::SourceFailed;
        }
        if (got == 0)
            return FileReplay::Complete;
        if (!mWriteToPipe(pipeWrite, buffer.data(), static_cast<size_t>(got)))
            return FileReplay::ReaderGone;
        offset += got;
    }
}

// Holds SIGPIPE back on this thread while it feeds a pipe, so that a child
// that stops reading makes the write fail instead of ending the process.
class SigPipeBlock {
public:
    SigPipeBlock()
    {
        sigset_t pipeOnly;
        sigemptyset(&pipeOnly);
        sigaddset(&pipeOnly, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        mblnWasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipeOnly, &mOldMask);
    }
    ~SigPipeBlock()
    {
        sigset_t pending;
        sigpending(&pending);
        if (!mblnWasPending && sigismember(&pending, SIGPIPE) == 1) {
            sigset_t pipeOnly;
            sigemptyset(&pipeOnly);
            sigaddset(&pipeOnly, SIGPIPE);
            timespec immediately{0, 0};
            sigtimedwait(&pipeOnly, nullptr, &immediately);
        }
        pthread_sigmask(SIG_SETMASK, &mOldMask, nullptr);
    }
    SigPipeBlock(const SigPipeBlock&) = delete;
    SigPipeBlock& operator=(const SigPipeBlock&) = delete;

private:
    sigset_t mOldMask{};
    bool mblnWasPending = false;
};

// True when the text may be a backend's file name.
bool mIsUsableBackendName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

}  // namespace

void ProcessUtil::GetOriginalBackendPathAndName(std::string& folder, std::string& name, const char* argument0)
{
    DebugScope scope(kComponent, "GetOriginalBackendPathAndName");
    std::string invokedAs = argument0 != nullptr ? argument0 : "";
    Log::Debug("invoked as: %s", invokedAs);

    if (invokedAs.find(":/") != std::string::npos) {
        Log::Debug("determining via URI");
        name = invokedAs.substr(0, invokedAs.find(':'));
    } else {
        Log::Debug("determining via path");
        size_t slash = invokedAs.rfind('/');
        name = slash == std::string::npos ? invokedAs : invokedAs.substr(slash + 1);
    }
    if (!mIsUsableBackendName(name))
        name.clear();

    // CUPS tells its backends where its programs live; otherwise the
    // distribution's folder, then the one other systems use.
    std::vector<std::string> candidates;
    if (const char* serverBin = std::getenv("CUPS_SERVERBIN"); serverBin != nullptr && *serverBin != '\0')
        candidates.push_back(std::string(serverBin) + "/backend");
    candidates.emplace_back("/usr/lib/cups/backend");
    candidates.emplace_back("/usr/libexec/cups/backend");

    // Not found anywhere: the current folder, where running it will fail.
    std::string found(1, '.');
    if (!name.empty()) {
        for (const auto& candidate : candidates) {
            struct stat info {};
            if (stat((candidate + "/" + name).c_str(), &info) == 0) {
                found = candidate;
                break;
            }
        }
    }
    folder = std::move(found);
    Log::Debug("name: %s -- path: %s", name, folder);
}

void ProcessUtil::FollowAllSymlinks(std::string& path)
{
    DebugScope scope(kComponent, "FollowAllSymlinks");
    std::error_code error;
    auto resolved = std::filesystem::canonical(path, error);
    if (!error)
        path = resolved.string();
}

bool ProcessUtil::CheckPermissionsAndSetUidIfAble(const char* path)
{
    DebugScope scope(kComponent, "CheckPermissionsAndSetUidIfAble");
    // Without root's rights there is nothing to lower and nothing that
    // cupsd would check: the program runs as this process does.
    if (geteuid() != 0) {
        Log::Debug("not root: running it as this process runs.");
        return true;
    }
    // cupsd's own checks first: what it would refuse, the hook refuses too,
    // and what it cannot check (stat fails) never runs as root.
    Platform::BackendVerdict verdict = Platform::JudgeBackend(path);
    if (verdict.rights == Platform::BackendRights::Refused) {
        Log::Error("The backend %s is not run, as cupsd would not run it: %s", path, verdict.why);
        ReportToScheduler(std::string("The backend ") + path + " is not run, as cupsd would not run it: " + verdict.why
                          + ".");
        return false;
    }
    if (verdict.rights == Platform::BackendRights::Root) {
        Log::Debug("need root to execute.");
        return true;
    }

    Log::Debug("lowering permissions for execute.");
    Log::Debug("uid= %ul  euid= %ul gid= %ul  egid= %ul", static_cast<unsigned>(getuid()),
               static_cast<unsigned>(geteuid()), static_cast<unsigned>(getgid()), static_cast<unsigned>(getegid()));
    // As cupsd does: a backend that others may execute runs as CUPS's own
    // unprivileged user and group, with no supplementary groups.
    std::string why;
    auto account = Platform::LookupCupsBackendAccount(why);
    if (!account) {
        Log::Error("Cannot lower permissions for %s: %s", path, why);
        ReportToScheduler(std::string("The backend ") + path + " cannot run as CUPS's user: " + why + ".");
        return false;
    }
    // The groups go first: once the user id is lowered they can no longer be
    // changed. Saved ids are lowered too, so nothing can be regained.
    if (setgroups(1, &account->gid) != 0 || setresgid(account->gid, account->gid, account->gid) != 0
        || setresuid(account->uid, account->uid, account->uid) != 0) {
        int error = errno;
        Log::Error("lowering permissions failed: %s", ErrorText(error));
        ReportToScheduler(std::string("The backend ") + path + " cannot run as CUPS's user: " + ErrorText(error) + ".");
        return false;
    }
    uid_t ru, eu, su;
    gid_t rg, eg, sg;
    if (getresuid(&ru, &eu, &su) != 0 || getresgid(&rg, &eg, &sg) != 0 || ru != account->uid || eu != account->uid
        || su != account->uid || rg != account->gid || eg != account->gid || sg != account->gid) {
        Log::Error("lowering permissions did not take effect.");
        ReportToScheduler(std::string("The backend ") + path + " cannot run as CUPS's user.");
        return false;
    }
    return true;
}

int ProcessUtil::ExecuteChildPreserveFileHandles(const char* path, char* const arguments[])
{
    DebugScope scope(kComponent, "ExecuteChildPreserveFileHandles");
    Log::Debug("execv: %s", path);
    if (mKeepsRights(path)) {
        pid_t spawned = mSpawnKeepingRights(path, arguments, -1);
        mReleaseStandardDescriptors({STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO});
        if (spawned < 0)
            return FailureStatus;
        RunningChildMark running(spawned);
        Log::Debug("child pid: %d", static_cast<int>(spawned));
        return mWaitForChild(spawned);
    }
    pid_t pid = fork();
    if (pid == 0) {
        Log::Debug("Already in child process");
        mExecuteInChild(path, arguments);
    }
    if (pid < 0) {
        Log::Error("fork failed: %s", ErrorText(errno));
        return FailureStatus;
    }
    RunningChildMark running(pid);
    mReleaseStandardDescriptors({STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO});
    Log::Debug("child pid: %d", static_cast<int>(pid));
    return mWaitForChild(pid);
}

int ProcessUtil::ExecuteChildWithStdinPipe(const char* path, char* const arguments[],
                                           const unsigned char* alreadyRead, unsigned long length)
{
    return ExecuteChildWithStdinPipe(path, arguments, alreadyRead, length, -1);
}

int ProcessUtil::ExecuteChildWithStdinPipe(const char* path, char* const arguments[],
                                           const unsigned char* alreadyRead, unsigned long length,
                                           int alreadyReadRest)
{
    DebugScope scope(kComponent, "ExecuteChildWithStdinPipe");
    Log::Debug("Executable: %s", path);
    std::array<int, 2> stdinPipe{-1, -1};
    if (pipe2(stdinPipe.data(), O_CLOEXEC) != 0) {
        Log::Error("pipe creation failed with error: %s", ErrorText(errno));
        return FailureStatus;
    }

    Log::Debug("Attempting to create a new process");
    const bool spawned = mKeepsRights(path);
    pid_t pid = spawned ? mSpawnKeepingRights(path, arguments, stdinPipe[0]) : fork();
    if (pid == 0) {
        Log::Debug("Already in child process");
        close(stdinPipe[1]);
        dup2(stdinPipe[0], STDIN_FILENO);
        Log::Debug("intStdinPipe[0] = %d", stdinPipe[0]);
        Log::Debug("intStdinPipe[1] = %d", stdinPipe[1]);
        if (stdinPipe[0] != STDIN_FILENO)
            close(stdinPipe[0]);
        mExecuteInChild(path, arguments);
    }
    close(stdinPipe[0]);
    if (pid < 0) {
        if (!spawned)
            Log::Error("fork failed: %s", ErrorText(errno));
        close(stdinPipe[1]);
        return FailureStatus;
    }
    RunningChildMark running(pid);

    Log::Debug("Child process created... still in _parentCustomFiledControl process");
    mReleaseStandardDescriptors({STDOUT_FILENO, STDERR_FILENO});
    Log::Debug("Write the data already read in mblnParsePageSets");
    FileReplay rest = FileReplay::Complete;
    {
        SigPipeBlock noSigPipe;
        bool readerAlive = alreadyRead == nullptr || mWriteToPipe(stdinPipe[1], alreadyRead, length);
        if (readerAlive && alreadyReadRest >= 0)
            rest = mReplayFile(stdinPipe[1], alreadyReadRest);
        if (readerAlive && rest == FileReplay::Complete)
            mCopyStandardInput(stdinPipe[1]);
        // Ended before it sees the end of its input, the child cannot take
        // the shortened data for a whole job.
        if (rest == FileReplay::SourceFailed)
            kill(pid, SIGTERM);
        close(stdinPipe[1]);
    }
    Log::Debug("child pid: %d", static_cast<int>(pid));
    int status = mWaitForChild(pid);
    return rest == FileReplay::SourceFailed ? FailureStatus : status;
}

pid_t ProcessUtil::RunningChild()
{
    return gRunningChild.load();
}

std::string ProcessUtil::ExecuteChildAndCaptureOutput(const std::vector<std::string>& arguments)
{
    DebugScope scope(kComponent, "ExecuteChildAndCaptureOutput");
    if (arguments.empty())
        return std::string();
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    std::array<int, 2> output{-1, -1};
    if (pipe2(output.data(), O_CLOEXEC) != 0)
        return std::string();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    posix_spawnattr_t attributes;
    mFreshSignalState(attributes);

    pid_t pid = -1;
    int spawned = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(output[1]);
    if (spawned != 0) {
        Log::Error("Unable to run %s: %s", arguments.front(), ErrorText(spawned));
        close(output[0]);
        return std::string();
    }

    std::string text;
    std::array<char, 1024> piece{};
    for (;;) {
        ssize_t got = mReadRetrying(output[0], piece.data(), piece.size());
        if (got <= 0)
            break;
        // The output is text: a NUL byte ends the piece.
        std::string_view view(piece.data(), static_cast<size_t>(got));
        text.append(view.substr(0, view.find('\0')));
    }
    close(output[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return text;
}

}  // namespace CVClientData
