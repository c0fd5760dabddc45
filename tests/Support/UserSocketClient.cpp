#include "tests/Support/UserSocketClient.h"

#include "Platform/FileSystemRoot.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/TempRoot.h"

#include <filesystem>
#include <sstream>

namespace TestSupport {

UserSocketClient::UserSocketClient(const std::string& user, const std::string& reportPath, bool cancel)
    : mstrReport(reportPath)
{
    // Written by the client once it runs as the user.
    WriteFileText(mstrReport, "");
    std::filesystem::permissions(mstrReport, std::filesystem::perms(0666));
    std::vector<std::string> arguments{CVK_USER_SOCKET_CLIENT, Platform::FileSystemRoot(), user, mstrReport};
    if (cancel)
        arguments.emplace_back("--cancel");
    mintPid = StartProgram(arguments);
}

UserSocketClient::~UserSocketClient()
{
    StopProgram(mintPid);
}

std::string UserSocketClient::WaitUntilListening(std::chrono::milliseconds limit) const
{
    std::string line;
    WaitUntil(
        [&] {
            std::istringstream report(ReadFileText(mstrReport));
            std::getline(report, line);
            return !line.empty();
        },
        limit);
    const std::string prefix = "listening ";
    return line.starts_with(prefix) ? line.substr(prefix.size()) : std::string();
}

std::vector<uint32_t> UserSocketClient::Jobs() const
{
    std::vector<uint32_t> jobs;
    std::istringstream report(ReadFileText(mstrReport));
    for (std::string line; std::getline(report, line);)
        if (line.starts_with("job "))
            jobs.push_back(static_cast<uint32_t>(std::stoul(line.substr(4))));
    return jobs;
}

}  // namespace TestSupport
