#include "Platform/Folders.h"

#include "Platform/FileSystemRoot.h"

#include <cstdlib>
#include <string_view>

namespace Platform {
namespace {

constexpr std::string_view kProductFolder = "quorvel";

struct UserFolderRule {
    const char* variable;     // XDG base-directory variable
    const char* homeDefault;  // its default below the home folder
};

// The system folders, or nullptr for a user folder.
const char* SystemFolder(Folder folder)
{
    switch (folder) {
    case Folder::SystemPreferences: return "/etc/quorvel";
    case Folder::SystemLogs: return "/var/log/quorvel";
    case Folder::SystemData: return "/var/lib/quorvel";
    case Folder::SystemSpool: return "/var/spool/quorvel";
    case Folder::Install: return "/usr/lib/quorvel";
    default: return nullptr;
    }
}

UserFolderRule UserFolder(Folder folder)
{
    switch (folder) {
    case Folder::UserPreferences: return {"XDG_CONFIG_HOME", "/.config"};
    case Folder::UserLogs: return {"XDG_STATE_HOME", "/.local/state"};
    case Folder::UserData: return {"XDG_DATA_HOME", "/.local/share"};
    default: return {"XDG_CACHE_HOME", "/.cache"};
    }
}

std::string UnderHome(const UserAccount& user, const UserFolderRule& rule)
{
    std::string path = HomeFolder(user);
    path += rule.homeDefault;
    path += '/';
    path += kProductFolder;
    return path;
}

}  // namespace

std::string FolderPath(Folder folder)
{
    if (const char* system = SystemFolder(folder))
        return HostPath(system);
    auto user = CurrentUser();
    if (!user)
        return {};
    UserFolderRule rule = UserFolder(folder);
    // Relative values are ignored, as the XDG base-directory rules say.
    const char* base = std::getenv(rule.variable);
    if (base != nullptr && base[0] == '/')
        return HostPath(base) + "/" + std::string(kProductFolder);
    return UnderHome(*user, rule);
}

std::string FolderPathFor(Folder folder, const UserAccount& user)
{
    if (const char* system = SystemFolder(folder))
        return HostPath(system);
    return UnderHome(user, UserFolder(folder));
}

}  // namespace Platform
