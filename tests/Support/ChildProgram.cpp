#include "tests/Support/ChildProgram.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace TestSupport {

namespace {

// Spawns with the given descriptor for standard output and error.
pid_t Spawn(const std::vector<std::string>& arguments, int outputFd)
{
    if (arguments.empty())
        return -1;
    std::vector<char*> argv = ArgumentArray(arguments);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputFd, STDERR_FILENO);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = -1;
    int result = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return result == 0 ? pid : -1;
}

// The exit code of a waited-for child, or -1.
int ExitCode(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::vector<char*> ArgumentArray(const std::vector<std::string>& texts)
{
    std::vector<char*> array;
    array.reserve(texts.size() + 1);
    // exec takes char* const[] for C's sake; it never writes to the texts.
    for (const auto& text : texts)
        array.push_back(const_cast<char*>(text.c_str()));
    array.push_back(nullptr);
    return array;
}

long PeakResidentKibUntilExit(pid_t pid)
{
    long peak = 0;
    for (;;) {
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid == pid)
            return peak;
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        for (std::string line; std::getline(status, line);) {
            if (!line.starts_with("VmHWM:"))
                continue;
            long value = 0;
            size_t digits = line.find_first_of("0123456789");
            if (digits != std::string::npos)
                std::from_chars(line.data() + digits, line.data() + line.size(), value);
            peak = std::max(peak, value);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

ProgramResult RunProgram(const std::vector<std::string>& arguments)
{
    ProgramResult result;
    std::array<int, 2> output{-1, -1};
    if (pipe2(output.data(), O_CLOEXEC) != 0)
        return result;
    pid_t pid = Spawn(arguments, output[1]);
    close(output[1]);
    if (pid < 0) {
        close(output[0]);
        return result;
    }
    std::array<char, 4096> buffer{};
    for (;;) {
        ssize_t got = read(output[0], buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        result.output.append(buffer.data(), static_cast<size_t>(got));
    }
    close(output[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = ExitCode(status);
    return result;
}

pid_t StartProgram(const std::vector<std::string>& arguments, const std::string& outputPath)
{
    if (arguments.empty())
        return -1;
    int output = open(outputPath.empty() ? "/dev/null" : outputPath.c_str(),
                      O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (output < 0)
        return -1;
    std::vector<char*> argv = ArgumentArray(arguments);
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid == 0) {
        // A test that crashes or is stopped by a sanitizer must not leave
        // its daemon running: the daemon ends with the thread that started it.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(127);
        int input = open("/dev/null", O_RDONLY);
        dup2(input, STDIN_FILENO);
        dup2(output, STDOUT_FILENO);
        dup2(output, STDERR_FILENO);
        close_range(3, ~0U, 0);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        signal(SIGPIPE, SIG_DFL);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(output);
    return pid;
}

int StopProgram(pid_t pid, std::chrono::milliseconds grace)
{
    if (pid <= 0)
        return -1;
    kill(pid, SIGTERM);
    int status = 0;
    bool ended = WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, grace);
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    return ExitCode(status);
}

int FreeLoopbackPort(int type)
{
    int fd = socket(AF_INET, type | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

}  // namespace TestSupport
