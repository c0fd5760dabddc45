#include "Platform/ClientSocket.h"

#include "Platform/FileSystemRoot.h"
#include "Platform/Folders.h"

#include <sys/stat.h>

namespace Platform {

std::string ClientSocketName(const UserAccount& user)
{
    return "cvkclient." + user.name;
}

std::optional<std::string> RuntimeFolder(const UserAccount& user)
{
    std::string folder = HostPath("/run/user/" + std::to_string(user.uid));
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != user.uid
        || (info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return std::nullopt;
    return folder;
}

std::vector<std::string> ClientSocketPaths(const UserAccount& user)
{
    std::string name = ClientSocketName(user);
    if (auto runtime = RuntimeFolder(user))
        return {*runtime + "/" + name};
    return {HostPath("/tmp/" + name), FolderPathFor(Folder::UserData, user) + "/" + name};
}

}  // namespace Platform
