#pragma once

#include <string>

namespace CVCoreDataServices {

// Who and where this client is: made by the application at launch and copied
// into the job controller, which hands it to every job thread.
struct ClientEnvironment {
    // The origin number that jobs from this client carry ("TransactionFrom").
    static constexpr int ClientJobSource = 3;

    // "Linux " followed by the running kernel's release (uname), the form in
    // which jobs report the workstation's operating system to the server.
    static std::string CurrentOperatingSystemText();

    std::string UserName;         // login name; also names the user's socket (Platform/ClientSocket.h)
    std::string JobCacheFolder;   // the user's data folder (~/.local/share/quorvel): settings, user and job caches
    std::string OperatingSystem;  // see CurrentOperatingSystemText
    std::string HostName;
    int JobSource = ClientJobSource;
};

}  // namespace CVCoreDataServices
