// A stand-in for a user's client as its own process: it becomes the user
// (when started as root), listens at the user's socket as the client does,
// answers every job it is handed 'R','Z' (or 'R','X' with --cancel) without
// asking for page data, and reports to a file what happened:
//   "listening <path>"   once it listens (or "failed" when it cannot)
//   "job <id>"           for every job announced to it
// It runs until it is ended by a signal, and ends with the process that
// started it.
//
//   cvk_user_socket_client <filesystem root> <user> <report file> [--cancel]
#include "Core/CVClientCommunication/ClientCommunicationChannel.h"
#include "Core/CVClientCommunication/Signals.h"
#include "Platform/FileSystemRoot.h"
#include "Platform/UserAccount.h"

#include <csignal>
#include <cstring>
#include <fstream>
#include <grp.h>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

// Takes on the user's ids when they are not already the process's own.
bool BecomeUser(const Platform::UserAccount& user)
{
    if (geteuid() == user.uid)
        return true;
    return setgroups(0, nullptr) == 0 && setresgid(user.gid, user.gid, user.gid) == 0
           && setresuid(user.uid, user.uid, user.uid) == 0;
}

void Report(const std::string& path, const std::string& line)
{
    std::ofstream(path, std::ios::app) << line << std::endl;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    Platform::SetFileSystemRoot(argv[1]);
    const char* userName = argv[2];
    std::string report = argv[3];
    bool cancel = argc > 4 && std::strcmp(argv[4], "--cancel") == 0;
    auto user = Platform::LookupUser(userName);
    if (!user || !BecomeUser(*user)) {
        Report(report, "failed");
        return 1;
    }
    // Changing ids cleared what the starter asked for; ask again.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    Signals::IgnoreSigPipe();
    ClientCommunicationChannel listener(userName);
    if (!listener.Listen()) {
        Report(report, "failed");
        return 1;
    }
    Report(report, "listening " + listener.GetSocketPath());
    for (;;) {
        ClientCommunicationChannel connection = listener.Accept();
        if (!connection.IsConnected())
            return 1;
        ClientMessage announcement = connection.ReceiveMessage();
        if (!announcement.Is(ClientMessageType::Notify, ClientMessageSubType::NewJob))
            continue;
        Report(report, "job " + std::to_string(announcement.GetMessageContentParam1()));
        connection.SendMessage(ClientMessage(ClientMessageType::Request, cancel ? ClientMessageSubType::JobCancelled
                                                                                 : ClientMessageSubType::JobCompleted));
    }
}
