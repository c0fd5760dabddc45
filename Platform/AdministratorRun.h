#pragma once

#include <string>
#include <vector>

namespace Platform {

// How a run with an administrator's rights ended.
struct AdministratorRunResult {
    enum class Outcome {
        Ran,            // the tool ran as root; exitStatus is its own
        NotAuthorized,  // it did not run: the authentication was refused or dismissed, no
                        // authentication agent could ask, or pkexec could not be started
    };
    Outcome outcome = Outcome::NotAuthorized;
    int exitStatus = -1;  // the tool's exit code, 128 plus the signal number when a signal ended
                          // it, -1 when its run could not be followed
    std::string output;   // every byte the tool wrote on its standard output
    std::string reason;   // why it did not run, for the log
};

// Runs a tool as root once an administrator has authenticated, through
// pkexec under the polkit action that names the tool and its first argument
// (the action asks for an administrator's password every time). The desktop's
// authentication agent asks; pkexec's own text prompt is never used, since
// the caller has a window rather than a terminal. Blocks until the tool has
// ended, reading all it prints. No shell: each argument reaches the tool as
// it is. The tool's standard input is /dev/null; its standard error is the
// caller's.
//
// pkexec answers 126 when the authentication was dismissed and 127 when it
// was refused or could not be asked for; a tool that ends with one of those
// codes without printing anything cannot be told apart from a refusal and is
// taken as one.
//
// The environment variable CVK_PKEXEC replaces pkexec: an absolute program
// path, run with the same arguments. Tests use it to stand in for polkit.
AdministratorRunResult RunAsAdministrator(const std::string& tool, const std::vector<std::string>& arguments);

inline constexpr const char* PkexecVariable = "CVK_PKEXEC";
inline constexpr const char* PkexecPath = "/usr/bin/pkexec";

}  // namespace Platform
