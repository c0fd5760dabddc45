#include "Core/CVClientCommunication/SocketPlace.h"

#include "CoreLogger/ComponentLog.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace SocketPlace {

namespace {

using Log = ComponentLog<LogComponents::CoreMessaging>;

// Why a file cannot be a user's socket; empty when it can.
std::string Refusal(const struct stat& info, uid_t owner)
{
    if (S_ISLNK(info.st_mode))
        return "it is a symbolic link";
    if (!S_ISSOCK(info.st_mode))
        return "it is not a socket";
    if (info.st_uid != owner)
        return "it belongs to uid " + std::to_string(info.st_uid) + ", not to uid " + std::to_string(owner);
    return std::string();
}

// Makes the socket's folder when it is missing, private to this user. Only
// the user's own data folder can be missing: /tmp and a runtime folder exist.
void MakeFolder(const std::string& path)
{
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (std::filesystem::exists(folder, error))
        return;
    if (std::filesystem::create_directories(folder, error))
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
}

}  // namespace

Found Inspect(const std::string& path, uid_t owner, const char* operation, bool logRefusal)
{
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0)
        return Found::Nothing;
    std::string refusal = Refusal(info, owner);
    if (refusal.empty())
        return Found::OwnersSocket;
    if (logRefusal)
        Log::Error("ClientCommunicationChannel::%s - refused socket %s: %s.", operation, path, refusal);
    return Found::Refused;
}

bool Claim(const std::string& path)
{
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        MakeFolder(path);
        return true;
    }
    if (info.st_uid != geteuid()) {
        Log::Error("ClientCommunicationChannel::Listen - %s is held by uid %u, not by this user; listening elsewhere.",
                   path, static_cast<unsigned>(info.st_uid));
        return false;
    }
    if (unlink(path.c_str()) != 0 && errno != ENOENT) {
        Log::Error("ClientCommunicationChannel::Listen - unable to remove %s.  Error: %s", path, std::strerror(errno));
        return false;
    }
    return true;
}

}  // namespace SocketPlace
