#include "Platform/AdministratorRun.h"

#include "Platform/ScopedDescriptor.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Platform {
namespace {

// pkexec's own exit codes when the tool did not run.
constexpr int kDismissed = 126;
constexpr int kNotAuthorized = 127;

std::string PkexecProgram()
{
    const char* replacement = std::getenv(PkexecVariable);
    return replacement != nullptr && replacement[0] == '/' ? std::string(replacement) : std::string(PkexecPath);
}

// A null-terminated argument vector over the texts, valid while they live.
std::vector<char*> ArgumentVector(std::vector<std::string>& texts)
{
    std::vector<char*> vector;
    for (std::string& text : texts)
        vector.push_back(text.data());
    vector.push_back(nullptr);
    return vector;
}

// Reads the descriptor until its end; false on a read error.
bool ReadAll(int fd, std::string& into)
{
    std::array<char, 4096> chunk{};
    for (;;) {
        ssize_t got = read(fd, chunk.data(), chunk.size());
        if (got > 0)
            into.append(chunk.data(), static_cast<size_t>(got));
        else if (got == 0)
            return true;
        else if (errno != EINTR)
            return false;
    }
}

int WaitForExitCode(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

AdministratorRunResult NotStarted(const std::string& program, int error)
{
    AdministratorRunResult result;
    result.reason = program + " could not be started: " + std::strerror(error);
    return result;
}

}  // namespace

AdministratorRunResult RunAsAdministrator(const std::string& tool, const std::vector<std::string>& arguments)
{
    std::string program = PkexecProgram();
    std::vector<std::string> texts{program, "--disable-internal-agent", tool};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = ArgumentVector(texts);

    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return NotStarted(program, errno);
    ScopedDescriptor reader(ends[0]);
    ScopedDescriptor writer(ends[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writer.fd, STDOUT_FILENO);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    pid_t pid = -1;
    int spawnError = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawnError != 0)
        return NotStarted(program, spawnError);
    ::close(writer.fd);
    writer.fd = -1;

    AdministratorRunResult result;
    bool readAll = ReadAll(reader.fd, result.output);
    int exitCode = WaitForExitCode(pid);
    // A run whose output or end could not be followed counts as a failed run.
    if (!readAll)
        exitCode = -1;
    if ((exitCode == kDismissed || exitCode == kNotAuthorized) && result.output.empty()) {
        result.outcome = AdministratorRunResult::Outcome::NotAuthorized;
        result.reason = exitCode == kDismissed
                            ? "the administrator's authentication was dismissed"
                            : "no administrator authenticated, or no authentication agent could ask for it";
        result.exitStatus = exitCode;
        return result;
    }
    result.outcome = AdministratorRunResult::Outcome::Ran;
    result.exitStatus = exitCode;
    return result;
}

}  // namespace Platform
