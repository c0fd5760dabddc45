// Vantro: runs the repair script of the backend hook and exits with the
// script's exit code. Without arguments the script checks and repairs the
// hook; "track SCHEME" and "untrack SCHEME" are handed to it as they are.
#include "CoreLogger/ComponentLog.h"
#include "Platform/Folders.h"
#include "Vantro/RunSystemCommand.h"

#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

using Log = ComponentLog<LogComponents::BackcheckGeneral>;

// The script of the repair utility, inside the installation folder.
constexpr const char* kRepairScript = "/Corvane Velk/Corvane Velk Repair Utility.app/Contents/Resources/hook.sh";

// The tool's exit status when there is no shell to run the script with, or
// when it does not run as root.
constexpr int kNoShellStatus = 1;
constexpr int kNotRootStatus = 1;

}  // namespace

int main(int argc, char* argv[])
{
    Log::Debug("Initiating Back Check.");
    // The script reads and repairs what only root may: without root's rights
    // it would report a check it could not make.
    if (geteuid() != 0) {
        Log::Error("Vantro needs root's rights; run it with sudo.");
        std::fprintf(stderr, "Vantro needs root's rights; run it with sudo.\n");
        return kNotRootStatus;
    }
    if (!ShellAvailable()) {
        Log::Error("System call failed. Exiting!");
        return kNoShellStatus;
    }
    Log::Debug("System checks complete.");
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunSystemCommand(Platform::FolderPath(Platform::Folder::Install) + kRepairScript, arguments,
                            "Backend Check");
}
