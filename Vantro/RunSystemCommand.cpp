#include "Vantro/RunSystemCommand.h"

#include "CoreLogger/ComponentLog.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Log = ComponentLog<LogComponents::BackcheckGeneral>;

// The machine's own shell. It belongs to the system, not to the installation,
// so it does not move with the filesystem root.
constexpr const char* kShell = "/bin/sh";

// The exit code system() gives when the shell could not be run.
constexpr int kCannotRun = 127;

// How one run ended: the exit code, and the errno value when the run itself
// failed (0 when the script ran).
struct RunResult {
    int exitCode = kCannotRun;
    int error = 0;
};

// Keeps an interrupt or quit from the terminal away from this process while
// the script runs, as system() does: the script alone gets it, and the tool
// stays to report how the script ended.
class TerminalSignalsIgnored {
public:
    TerminalSignalsIgnored()
    {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGINT, &ignore, &mInterrupt);
        sigaction(SIGQUIT, &ignore, &mQuit);
    }
    ~TerminalSignalsIgnored()
    {
        sigaction(SIGINT, &mInterrupt, nullptr);
        sigaction(SIGQUIT, &mQuit, nullptr);
    }
    TerminalSignalsIgnored(const TerminalSignalsIgnored&) = delete;
    TerminalSignalsIgnored& operator=(const TerminalSignalsIgnored&) = delete;

private:
    struct sigaction mInterrupt {};
    struct sigaction mQuit {};
};

// The exit code of a waited-for child as shells report it.
int ExitCode(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Starts the shell on the script, on this process's descriptors, and waits for it.
RunResult RunShell(const std::string& scriptPath, const std::vector<std::string>& scriptArguments)
{
    std::vector<char*> arguments{const_cast<char*>(kShell), const_cast<char*>(scriptPath.c_str())};
    for (const std::string& argument : scriptArguments)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    TerminalSignalsIgnored whileRunning;
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGQUIT);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    RunResult result;
    pid_t pid = -1;
    result.error = posix_spawn(&pid, kShell, nullptr, &attributes, arguments.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (result.error != 0)
        return result;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            result.error = errno;
            return result;
        }
    }
    result.exitCode = ExitCode(status);
    return result;
}

}  // namespace

bool ShellAvailable()
{
    return access(kShell, X_OK) == 0;
}

int RunSystemCommand(const std::string& scriptPath, const std::vector<std::string>& arguments, const std::string& name)
{
    Log::Debug("Running %s", name);
    RunResult run = RunShell(scriptPath, arguments);
    if (run.error == 0)
        Log::Debug("-- %s returned %d ", name, run.exitCode);
    else
        Log::Debug("-- %s returned %d \n[%s]", name, run.exitCode, std::strerror(run.error));
    Log::Debug("Command %s complete. ", name);
    return run.exitCode;
}
