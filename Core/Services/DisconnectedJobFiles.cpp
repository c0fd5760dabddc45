#include "Core/Services/DisconnectedJobFiles.h"

#include "Common/StringFormat.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace CVCoreDataServices::DisconnectedJobFiles {

namespace {

// Names tried for a file set aside before giving up.
constexpr int SetAsideAttempts = 100;

// Moves the file to a name that does not exist yet; false with errno set.
// A hard link never replaces a file; where links are not offered the file is
// renamed once the name is seen to be free.
bool MoveToFreshName(const std::string& from, const std::string& to)
{
    if (::link(from.c_str(), to.c_str()) == 0) {
        if (::unlink(from.c_str()) == 0 || errno == ENOENT)
            return true;
        int saved = errno;
        ::unlink(to.c_str());
        errno = saved;
        return false;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EXDEV)
        return false;
    if (::access(to.c_str(), F_OK) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace

// The folder, the computer name and the job id in decimal.
std::string PathFor(const std::string& folder, const std::string& computerName, uint32_t jobId, bool takenAtQuit)
{
    std::string computer = computerName;
    for (char& c : computer)
        if (c == '.' || c == '/' || c == '\0')
            c = '_';
    return stringFormat("%s/.%s.%u%s%s", folder, computer, jobId, std::string(takenAtQuit ? TakenAtQuitMark : ""),
                        std::string(Extension));
}

bool IsTakenAtQuitName(std::string_view name)
{
    return IsStoredJobName(name) && name.substr(0, name.size() - Extension.size()).ends_with(TakenAtQuitMark);
}

// rename is atomic: of two processes renaming one file, one finds it gone.
std::string Claim(const std::string& path)
{
    std::string claimed = path + std::string(ClaimSuffix);
    if (std::rename(path.c_str(), claimed.c_str()) != 0)
        return std::string();
    return claimed;
}

bool Unclaim(const std::string& claimedPath)
{
    if (!claimedPath.ends_with(ClaimSuffix))
        return false;
    std::string path = claimedPath.substr(0, claimedPath.size() - ClaimSuffix.size());
    return std::rename(claimedPath.c_str(), path.c_str()) == 0;
}

void UnclaimAll(const std::string& folder)
{
    std::error_code error;
    std::filesystem::directory_iterator entry(folder, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        std::string name = entry->path().filename().string();
        if (name.ends_with(ClaimSuffix) && IsStoredJobName(name.substr(0, name.size() - ClaimSuffix.size())))
            Unclaim(entry->path().string());
    }
}

// The first ".job" must be the end of the name.
bool IsStoredJobName(std::string_view name)
{
    size_t first = name.find(Extension);
    return first != std::string_view::npos && first + Extension.size() == name.size();
}

bool IsRemovableJobName(std::string_view name)
{
    return name.starts_with('.') && IsStoredJobName(name);
}

// "<name>.bad" first; an older file set aside under that name is kept.
std::string SetAside(const std::string& path)
{
    std::string base = path + std::string(SetAsideSuffix);
    for (int attempt = 0; attempt < SetAsideAttempts; ++attempt) {
        std::string target = attempt == 0 ? base : stringFormat("%s.%d", base, attempt);
        if (MoveToFreshName(path, target))
            return target;
        if (errno != EEXIST)
            return std::string();
    }
    errno = EEXIST;
    return std::string();
}

}  // namespace CVCoreDataServices::DisconnectedJobFiles
