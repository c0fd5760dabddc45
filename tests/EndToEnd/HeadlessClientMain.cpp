// cvk_headless_client: the client core of the current user without windows,
// for end-to-end tests, the demonstration and the benchmark. It does what the
// application does at launch, the windows left out: it checks the
// preferences, makes the user's job cache and custom-field cache folders,
// builds the environment, the one web service and the job controller with a
// real job thread per job, and listens on the user's socket until SIGTERM or
// SIGINT, then shuts the controller down.
//
//   cvk_headless_client [--popups LIST] [--messages LIST] [--ui-log FILE]
//
// LIST answers pop-ups ("print", "cancel", "snooze", "wait": open until
// shutdown) or server messages ("go", "stop") in turn, the last answer
// staying; login prompts are declined. --ui-log names a file that receives
// one line per call of the user interface (see ScriptedUserInterface.h). The filesystem root comes from
// CVK_ROOT, the CUPS server from CUPS_SERVER and a private CA from
// CVK_CA_BUNDLE, as for the application.
//
// The process takes the client program's process name, so that the hook
// finds it running as it finds the application.
#include "Common/SettingsManager.h"
#include "Core/CVClientCommunication/Signals.h"
#include "Core/CVModels/ClientEnvironment.h"
#include "Core/Services/ClientInstance.h"
#include "Core/Services/ClientUICommunicationService.h"
#include "Core/Services/JobHandler.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/Logger.h"
#include "Platform/Folders.h"
#include "Platform/UserAccount.h"
#include "tests/Support/ScriptedUserInterface.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/prctl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr auto kComponent = LogComponents::ClientUserInterface;
constexpr int kUsageStatus = 2;
constexpr int kCannotLaunchStatus = 1;

// Explains the command line; the exit status of a wrong one.
int Usage()
{
    std::fprintf(stderr, "usage: cvk_headless_client [--popups print,cancel,snooze,wait] [--messages go,stop] "
                         "[--ui-log FILE]\n");
    return kUsageStatus;
}

// The host's name, or "localhost" when it has none.
std::string HostName()
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
        return "localhost";
    return name;
}

}  // namespace

// Launches the client core, serves until a stop signal, shuts down.
int main(int argc, char** argv)
{
    using TestSupport::ScriptedUserInterface;
    std::vector<ScriptedUserInterface::PopupAnswer> popups{ScriptedUserInterface::PopupAnswer::Print()};
    std::vector<bool> messages{true};
    std::string uiLog;
    for (int i = 1; i < argc; ++i) {
        std::string_view option = argv[i];
        if (i + 1 >= argc)
            return Usage();
        std::string_view value = argv[++i];
        if (option == "--popups") {
            auto answers = ScriptedUserInterface::ParsePopupAnswers(value);
            if (!answers)
                return Usage();
            popups = *answers;
        } else if (option == "--messages") {
            auto answers = ScriptedUserInterface::ParseMessageAnswers(value);
            if (!answers)
                return Usage();
            messages = *answers;
        } else if (option == "--ui-log") {
            uiLog = value;
        } else {
            return Usage();
        }
    }

    prctl(PR_SET_NAME, CVK_CLIENT_PROCESS_NAME, 0, 0, 0);
    // Stop signals are taken by sigwait below; every thread started from
    // here on inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    Signals::IgnoreSigPipe();

    if (!SettingsManager().LoadSettings()) {
        Logger::Log_Error(kComponent, "Configuration incomplete, client URL not set. Unable to start Quorvel Client. "
                                      "Launch the Quorvel Configuration app to complete the configuration and try "
                                      "again.");
        std::fprintf(stderr, "cvk_headless_client: the preferences are incomplete (ClientServicesUrl)\n");
        return kCannotLaunchStatus;
    }
    auto user = Platform::CurrentUser();
    if (!user) {
        std::fprintf(stderr, "cvk_headless_client: the current user is not in the password database\n");
        return kCannotLaunchStatus;
    }
    std::string jobCache = Platform::FolderPath(Platform::Folder::UserData);
    std::error_code ignored;
    std::filesystem::create_directories(jobCache, ignored);
    std::filesystem::create_directories(Platform::FolderPath(Platform::Folder::UserCache), ignored);
    auto instance = CVCoreDataServices::ClaimClientInstance(jobCache);
    if (!instance)
        return kCannotLaunchStatus;

    CVCoreDataServices::ClientEnvironment environment;
    environment.UserName = user->name;
    environment.JobCacheFolder = jobCache;
    environment.OperatingSystem = CVCoreDataServices::ClientEnvironment::CurrentOperatingSystemText();
    environment.HostName = HostName();

    // Made after the stop signals are blocked: its main thread inherits the mask.
    ScriptedUserInterface userInterface;
    if (!uiLog.empty())
        userInterface.WriteCallsTo(uiLog);
    // The last answer of each list stays for every later question.
    userInterface.AnswerPopups({popups.begin(), popups.end() - 1}, popups.back());
    userInterface.AnswerMessages({messages.begin(), messages.end() - 1}, messages.back());
    CVClientData::WebDataService webService;
    {
        CVCoreDataServices::ClientUICommunicationService service(userInterface, environment, webService);
        service.SetJobThreadFactory(CVCoreDataServices::JobHandler::Factory());
        service.Initialize();
        service.Run();
        Logger::Log_Info(kComponent, "Headless client core is running.");

        int received = 0;
        sigwait(&stopSignals, &received);
        Logger::Log_Info(kComponent, "Headless client core is shutting down.");
        service.Shutdown();
    }
    return 0;
}
