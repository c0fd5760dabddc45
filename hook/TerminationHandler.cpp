#include "hook/TerminationHandler.h"

#include "Core/ProcessUtil/ProcessUtil.h"

#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace TerminationHandler {

namespace {

// The job's copy; written only while SIGTERM is held back.
std::array<char, PATH_MAX> gJobCopy{};

void OnTerminate(int)
{
    int saved = errno;
    pid_t backend = CVClientData::ProcessUtil::RunningChild();
    if (backend > 0)
        kill(backend, SIGTERM);
    if (gJobCopy[0] != '\0')
        unlink(gJobCopy.data());
    static constexpr char line[] = "DEBUG: Got SIGTERM; the job's copy is removed.\n";
    (void)!write(STDERR_FILENO, line, sizeof line - 1);
    // SIGTERM stays blocked until the handler returns; then the default
    // action ends the process.
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    sigaction(SIGTERM, &standard, nullptr);
    raise(SIGTERM);
    errno = saved;
}

}  // namespace

void Install()
{
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
}

void SetJobCopy(const std::string& path)
{
    Deferral deferral;
    // A path that does not fit is not cut short: that would name another file.
    size_t length = path.size() < gJobCopy.size() ? path.size() : 0;
    std::memcpy(gJobCopy.data(), path.data(), length);
    gJobCopy[length] = '\0';
}

Deferral::Deferral()
{
    sigset_t term;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    sigprocmask(SIG_BLOCK, &term, &mPrevious);
}

// Deferrals nest: the outer one keeps SIGTERM held back.
Deferral::~Deferral()
{
    sigprocmask(SIG_SETMASK, &mPrevious, nullptr);
}

}  // namespace TerminationHandler
