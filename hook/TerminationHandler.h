#pragma once

#include <csignal>
#include <string>

// What the hook does when the scheduler ends it with SIGTERM (the job was
// cancelled, or cupsd stops), as CUPS backends do: it stops the wrapped
// backend if one runs, removes the job's copy for secure release, and then
// ends by the same signal, as if it had not caught it, so that the scheduler
// sees the end it expects. The spill file of the job data has no name and
// goes with the process. Everything the handler does is async-signal-safe.
namespace TerminationHandler {

// Installs the handler for the process.
void Install();

// Names the job's copy for secure release, which the handler removes; set
// before the copy is made.
void SetJobCopy(const std::string& path);

// Holds SIGTERM back while it lives, so that a file being written is whole
// (or not there) before the handler runs; a signal that came meanwhile is
// handled at once afterwards.
class Deferral {
public:
    Deferral();
    ~Deferral();
    Deferral(const Deferral&) = delete;
    Deferral& operator=(const Deferral&) = delete;

private:
    sigset_t mPrevious;
};

}  // namespace TerminationHandler
