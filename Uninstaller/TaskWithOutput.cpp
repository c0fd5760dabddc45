#include "Uninstaller/TaskWithOutput.h"

#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"
#include "Platform/AdministratorRun.h"

namespace {

constexpr LogComponents kComponent = LogComponents::ConfigGeneral;
using Log = ComponentLog<kComponent>;

}  // namespace

std::optional<std::string> TaskWithOutput::stringByLaunchingPath(const std::string& path,
                                                                 const std::vector<std::string>& arguments,
                                                                 TaskError* error)
{
    DebugScope scope(kComponent, "+[TaskWithOutput stringByLaunchingPath:withArguments:error:]");
    if (error != nullptr)
        *error = TaskError();
    std::vector<std::string> passed;
    if (!arguments.empty())
        passed.push_back(arguments.front());
    Log::Debug("Arguments sent to process %s", passed.empty() ? std::string() : passed.front());

    Platform::AdministratorRunResult run = Platform::RunAsAdministrator(path, passed);
    if (run.outcome == Platform::AdministratorRunResult::Outcome::NotAuthorized) {
        if (error != nullptr)
            *error = TaskError{true, run.exitStatus, run.reason};
        return std::nullopt;
    }
    // What the tool printed is logged whether or not it succeeded, so that a
    // failed run's own words are in the log.
    if (!run.output.empty())
        Log::Debug("processOutputString= %s", run.output);
    if (run.exitStatus != 0) {
        if (error != nullptr)
            *error = TaskError{false, run.exitStatus,
                               "the tool ended with exit status " + std::to_string(run.exitStatus)};
        return std::nullopt;
    }
    if (run.output.empty())
        return std::nullopt;
    return std::move(run.output);
}
