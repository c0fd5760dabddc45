#include "Platform/ClientAgentLauncher.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <linux/close_range.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace Platform {

namespace {

constexpr int kFailureStatus = 1;

// Texts that an exec call can take as a null-terminated array.
class TextArray {
public:
    explicit TextArray(std::vector<std::string> texts) : mvecTexts(std::move(texts))
    {
        for (auto& text : mvecTexts)
            mvecPointers.push_back(text.data());
        mvecPointers.push_back(nullptr);
    }
    char* const* Get() const { return mvecPointers.data(); }

private:
    std::vector<std::string> mvecTexts;
    std::vector<char*> mvecPointers;
};

// The environment in which the user's systemctl finds the user's service
// manager: its runtime folder and session bus, and nothing of the backend's.
std::vector<std::string> UserManagerEnvironment(const UserAccount& user)
{
    std::string runtime = "/run/user/" + std::to_string(user.uid);
    return {"HOME=" + user.home,
            "USER=" + user.name,
            "LOGNAME=" + user.name,
            "PATH=/usr/bin:/bin",
            "XDG_RUNTIME_DIR=" + runtime,
            "DBUS_SESSION_BUS_ADDRESS=unix:path=" + runtime + "/bus"};
}

// This process's own environment.
std::vector<std::string> OwnEnvironment()
{
    std::vector<std::string> copy;
    for (char** variable = environ; *variable != nullptr; ++variable)
        copy.emplace_back(*variable);
    return copy;
}

// The user's supplementary groups, looked up before forking so that the
// child needs nothing but system calls.
std::vector<gid_t> GroupsOf(const UserAccount& user)
{
    int count = 32;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    while (getgrouplist(user.name.c_str(), user.gid, groups.data(), &count) == -1) {
        if (count <= static_cast<int>(groups.size()))
            return {user.gid};
        groups.resize(static_cast<size_t>(count));
    }
    groups.resize(static_cast<size_t>(count));
    return groups;
}

// In the child: takes on the user's ids unless they are already the
// process's own. False when that is not possible.
bool BecomeUser(const UserAccount& user, const std::vector<gid_t>& groups)
{
    if (geteuid() == user.uid && getuid() == user.uid)
        return true;
    if (geteuid() != 0)
        return false;
    return setgroups(groups.size(), groups.data()) == 0 && setresgid(user.gid, user.gid, user.gid) == 0
           && setresuid(user.uid, user.uid, user.uid) == 0;
}

// Waits for a child and gives its exit code, or the failure status.
int WaitForExit(pid_t pid)
{
    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    if (waited < 0 || !WIFEXITED(status))
        return kFailureStatus;
    return WEXITSTATUS(status);
}

}  // namespace

ClientAgentLauncher::ClientAgentLauncher(std::string unitName) : mstrUnitName(std::move(unitName)) {}

int ClientAgentLauncher::Stop(const UserAccount& user) const
{
    return mRun(user, "stop");
}

int ClientAgentLauncher::Start(const UserAccount& user) const
{
    return mRun(user, "start");
}

// Runs systemctl (or the replacement program) for the user, without a shell,
// its output discarded: a backend's standard output is not ours to write.
int ClientAgentLauncher::mRun(const UserAccount& user, std::string_view action) const
{
    const char* replacement = std::getenv(LauncherVariable);
    bool replaced = replacement != nullptr && replacement[0] == '/';
    TextArray arguments(replaced ? std::vector<std::string>{replacement, std::string(action), mstrUnitName, user.name}
                                 : std::vector<std::string>{SystemctlPath, "--user", "--quiet", std::string(action),
                                                            mstrUnitName});
    TextArray environment(replaced ? OwnEnvironment() : UserManagerEnvironment(user));
    std::vector<gid_t> groups = GroupsOf(user);
    int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null < 0)
        return kFailureStatus;

    pid_t pid = fork();
    if (pid == 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        syscall(SYS_close_range, 3U, ~0U, 0U);
        signal(SIGPIPE, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        if (!BecomeUser(user, groups) || chdir("/") != 0)
            _exit(kFailureStatus);
        execve(arguments.Get()[0], arguments.Get(), environment.Get());
        _exit(kFailureStatus);
    }
    close(null);
    if (pid < 0)
        return kFailureStatus;
    return WaitForExit(pid);
}

}  // namespace Platform
