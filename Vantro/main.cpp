// Vantro: runs the repair script of the backend hook and exits with the
// script's exit code. It takes no arguments.
#include "CoreLogger/ComponentLog.h"
#include "Platform/Folders.h"
#include "Vantro/RunSystemCommand.h"

namespace {

using Log = ComponentLog<LogComponents::BackcheckGeneral>;

// The script of the repair utility, inside the installation folder.
constexpr const char* kRepairScript = "/Corvane Velk/Corvane Velk Repair Utility.app/Contents/Resources/hook.sh";

// The tool's exit status when there is no shell to run the script with.
constexpr int kNoShellStatus = 1;

}  // namespace

int main()
{
    Log::Debug("Initiating Back Check.");
    if (!ShellAvailable()) {
        Log::Error("System call failed. Exiting!");
        return kNoShellStatus;
    }
    Log::Debug("System checks complete.");
    return RunSystemCommand(Platform::FolderPath(Platform::Folder::Install) + kRepairScript, "Backend Check");
}
