// cvkhook: the CUPS backend of every tracked queue. It hands each job to its
// owner's client and then runs the queue's own backend or cancels the job.
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/Logger.h"
#include "hook/CupsBackendHook.h"
#include "hook/HookEntry.h"
#include "hook/SchedulerMessages.h"
#include "hook/TerminationHandler.h"

#include <string>
#include <string_view>

namespace {

constexpr auto kComponent = LogComponents::HookGeneral;
using Log = ComponentLog<kComponent>;
constexpr int kPathMax = 1024;

}  // namespace

// Checks the preferences and the owner's client, then handles the job; the
// exit status is the job's outcome for CUPS.
int main(int argc, char* argv[])
{
    Logger::Log_Debug_Start(kComponent, "main");
    // cupsd lists devices by running every program in the backend folder,
    // cvkhook under its own name too: it wraps nothing there and lists none.
    if (argc == 1 && std::string_view(argv[0]).ends_with("/cvkhook")) {
        Logger::Log_Debug_End(kComponent, "main");
        return 0;
    }
    // Listing devices (no job arguments) needs no preferences: the wrapped
    // backend lists them.
    if (argc > 1 && !ValidateSettings()) {
        Log::Error("Failed to process client Settings. Unable to process print job.");
        SchedulerMessages::Error("The Quorvel preferences are incomplete: /etc/quorvel/com.corvane.cvk.client.plist "
                                 "must name the server (ClientServicesUrl) and hold DebugLogging. The queue stops "
                                 "until they are complete.");
        Logger::Log_Debug_End(kComponent, "main");
        return IncompleteSettingsStatus;
    }
    Log::Debug("Path max: %d", kPathMax);
    TerminationHandler::Install();

    std::string cacheFolder;
    if (argc >= 3 && ValidateClientStatus(argv[2])) {
        cacheFolder = HookCacheFolder(argv[2]);
        for (int i = 0; i < argc; ++i)
            Log::Debug("argv[%d](%p) = %s", i, static_cast<void*>(&argv[i]), argv[i]);
    }
    Log::Debug("CacheDir: %s", cacheFolder);

    int result;
    {
        CupsBackendHook hook(argc, argv, cacheFolder.c_str());
        result = hook.Process();
        Log::Debug("Processed job with result: %d", result);
        Logger::Log_Debug_End(kComponent, "main");
    }
    return result;
}
