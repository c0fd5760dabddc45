#pragma once

#include <optional>
#include <string>
#include <vector>

// Why a run with administrator rights handed back no output.
struct TaskError {
    bool notAuthorized = false;  // no administrator authenticated, so the tool did not run
    long code = 0;               // the tool's exit status, or pkexec's code for the refusal
    std::string description;     // what went wrong, for the log
};

// Runs tools with an administrator's rights and hands back what they print.
class TaskWithOutput {
public:
    // Runs the tool as root with the first of the arguments (any others are
    // not passed on) once an administrator has authenticated, and waits until
    // it has ended. Answers everything it printed on its standard output.
    // Answers nothing when no administrator authenticated (the error says
    // so), when the tool ended with an exit status other than 0 (the error
    // holds the status), or when it printed nothing at all (no error). The
    // error, when asked for, is cleared first.
    static std::optional<std::string> stringByLaunchingPath(const std::string& path,
                                                            const std::vector<std::string>& arguments,
                                                            TaskError* error);
};
