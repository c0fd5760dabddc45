#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace TestSupport {

// The end of a program run by a test.
struct ProgramResult {
    int status = -1;     // exit code, or -1 when it did not exit normally
    std::string output;  // standard output and error together
};

// Runs a program (absolute path or a name found on PATH) with its
// arguments, no shell, and waits for it.
ProgramResult RunProgram(const std::vector<std::string>& arguments);

// Starts a program in the background with standard output and error going
// to a file (or /dev/null for an empty path). -1 when it could not start.
// The program is sent SIGTERM when the calling thread ends, so a test that
// dies leaves no daemon behind: start daemons from the test's own thread.
pid_t StartProgram(const std::vector<std::string>& arguments, const std::string& outputPath = "");

// Ends a program started by StartProgram: SIGTERM, then SIGKILL when it has
// not ended within the grace time. Answers its exit code or -1.
int StopProgram(pid_t pid, std::chrono::milliseconds grace = std::chrono::seconds(5));

// A null-terminated array over the texts, as exec and posix_spawn take
// arguments or an environment; valid while the texts live unchanged.
std::vector<char*> ArgumentArray(const std::vector<std::string>& texts);

// The largest resident size (VmHWM, in KiB) of a child, sampled until the
// child has ended; the child is left to be reaped by the caller. Sampled
// rather than read once: the kernel's peak for a whole process that forked
// would include its parent's memory.
long PeakResidentKibUntilExit(pid_t pid);

// A loopback port that was free a moment ago (type SOCK_STREAM or SOCK_DGRAM).
int FreeLoopbackPort(int type);

// Waits until the condition holds or the time is up; answers the condition.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return condition();
        struct timespec pause = {0, 20 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    return true;
}

}  // namespace TestSupport
