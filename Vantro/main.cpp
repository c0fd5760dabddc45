// Vantro: runs the repair script of the backend hook and exits with the
// script's exit code. Without arguments the script checks and repairs the
// hook; "track SCHEME" and "untrack SCHEME" are handed to it as they are.
#include "CoreLogger/ComponentLog.h"
#include "Platform/Folders.h"
#include "Vantro/RunSystemCommand.h"

#include <cstdio>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

using Log = ComponentLog<LogComponents::BackcheckGeneral>;

// The script of the repair utility, inside the installation folder.
constexpr const char* kRepairScript = "/Corvane Velk/Corvane Velk Repair Utility.app/Contents/Resources/hook.sh";

// The synopsis of Vantro(8), for --help.
constexpr const char* kUsage =
    "Usage: Vantro\n"
    "       Vantro track SCHEME\n"
    "       Vantro untrack SCHEME\n"
    "Checks and repairs cvkhook, the CUPS backend of the tracked print queues, and\n"
    "lists the queues (lpstat -v) whose scheme is not tracked. \"track\" wraps the\n"
    "backend of a device URI scheme (socket, ipp, smb ...) in cvkhook, \"untrack\"\n"
    "puts it back. Runs as root. See Vantro(8).\n";

// The tool's exit status when there is no shell to run the script with, or
// when it does not run as root.
constexpr int kNoShellStatus = 1;
constexpr int kNotRootStatus = 1;

}  // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    Log::Debug("Initiating Back Check.");
    // The script reads and repairs what only root may: without root's rights
    // it would report a check it could not make.
    if (geteuid() != 0) {
        Log::Error("Vantro needs root's rights; run it as root.");
        std::fprintf(stderr, "Vantro needs root's rights; run it as root.\n");
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
