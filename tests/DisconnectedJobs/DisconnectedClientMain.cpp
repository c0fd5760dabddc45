// A client process for the tests that kill the client: the job controller
// as the application wires it (real job threads, the store of disconnected
// jobs), with a user interface that answers at once.
//
//     cvk_disconnected_client <filesystem root> <CA bundle of the stand-in>
//
// It prints "ready" once it listens on the user's socket and has handled
// the stored jobs, then runs until it is killed.

#include "Core/Services/ClientUICommunicationService.h"
#include "Core/Services/JobHandler.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "Platform/Folders.h"
#include "Platform/FileSystemRoot.h"
#include "Platform/UserAccount.h"
#include "tests/Support/ScriptedUserInterface.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <root> <ca bundle>\n", argv[0]);
        return 2;
    }
    Platform::SetFileSystemRoot(argv[1]);
    CVClientData::WebDataService service;
    service.SetCaBundle(argv[2]);
    service.SetTimeouts(5, 30, 5);
    TestSupport::ScriptedUserInterface userInterface;

    CVCoreDataServices::ClientEnvironment environment;
    environment.UserName = Platform::CurrentUserName();
    environment.JobCacheFolder = Platform::FolderPath(Platform::Folder::UserData);
    environment.OperatingSystem = CVCoreDataServices::ClientEnvironment::CurrentOperatingSystemText();
    environment.HostName = "workstation";
    CVCoreDataServices::ClientUICommunicationService controller(userInterface, environment, service);
    controller.SetJobThreadFactory(CVCoreDataServices::JobHandler::Factory());
    controller.Initialize();
    controller.Run();
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;)
        pause();
}
