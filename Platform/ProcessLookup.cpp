#include "Platform/ProcessLookup.h"

#include "Platform/FileSystemRoot.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <string>

namespace Platform {

namespace {

// The first line of a file, without its newline; empty when unreadable.
std::string FirstLine(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// The real user id from a process's status file.
bool RealUidOf(const std::filesystem::path& processFolder, uid_t& uid)
{
    std::ifstream in(processFolder / "status");
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with("Uid:"))
            continue;
        size_t digits = line.find_first_of("0123456789");
        if (digits == std::string::npos)
            return false;
        const char* end = line.data() + line.size();
        return std::from_chars(line.data() + digits, end, uid).ec == std::errc();
    }
    return false;
}

// Whether a /proc entry's name is a process id.
bool IsProcessFolderName(const std::string& name)
{
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

bool IsProcessRunning(std::string_view name, uid_t uid)
{
    std::string wanted(name.substr(0, ProcessNameLength));
    std::error_code error;
    std::filesystem::directory_iterator entry(HostPath("/proc"), error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        if (!IsProcessFolderName(entry->path().filename().string()))
            continue;
        // A process may end between the listing and these reads; it then
        // simply does not match.
        if (FirstLine(entry->path() / "comm") != wanted)
            continue;
        uid_t owner = 0;
        if (RealUidOf(entry->path(), owner) && owner == uid)
            return true;
    }
    return false;
}

}  // namespace Platform
