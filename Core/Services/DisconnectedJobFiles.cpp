#include "Core/Services/DisconnectedJobFiles.h"

#include "Common/StringFormat.h"

#include <cerrno>
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
std::string PathFor(const std::string& folder, const std::string& computerName, uint32_t jobId)
{
    std::string computer = computerName;
    for (char& c : computer)
        if (c == '.' || c == '/' || c == '\0')
            c = '_';
    return stringFormat("%s/.%s.%u%s", folder, computer, jobId, std::string(Extension));
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
