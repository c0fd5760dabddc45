#include "Platform/UserFile.h"

#include "Platform/ScopedDescriptor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace Platform {

namespace {

constexpr int kOpenFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

// Opens the path below the home folder without following any symbolic link
// on the way. Kernels without openat2 check the last component only.
int OpenBelow(const std::string& home, const std::string& relative)
{
    ScopedDescriptor folder{::open(home.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)};
    if (folder.fd < 0)
        return -1;
    open_how how{};
    how.flags = kOpenFlags;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    long fd = syscall(SYS_openat2, folder.fd, relative.c_str(), &how, sizeof how);
    if (fd < 0 && errno == ENOSYS)
        fd = ::openat(folder.fd, relative.c_str(), kOpenFlags);
    return static_cast<int>(fd);
}

// Why an open file is not one to read; empty when it is.
std::string Refusal(const struct stat& info, const UserAccount& user, size_t limit)
{
    if (!S_ISREG(info.st_mode))
        return "it is not a regular file";
    if (info.st_uid != user.uid && info.st_uid != 0)
        return "it belongs to uid " + std::to_string(info.st_uid) + ", not to " + user.name + " or root";
    if (static_cast<uintmax_t>(info.st_size) > limit)
        return "it is larger than " + std::to_string(limit) + " bytes";
    return std::string();
}

bool ReadAll(int fd, size_t size, std::vector<uint8_t>& bytes)
{
    bytes.resize(size);
    size_t done = 0;
    while (done < size) {
        ssize_t got = ::read(fd, bytes.data() + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += static_cast<size_t>(got);
    }
    return true;
}

}  // namespace

UserFileRead ReadUsersFile(const UserAccount& user, const std::string& path, size_t limit,
                           std::vector<uint8_t>& bytes, std::string& reason)
{
    std::string home = HomeFolder(user);
    if (home.empty() || !path.starts_with(home + "/")) {
        reason = "it is not in the home folder of " + user.name;
        return UserFileRead::Refused;
    }
    ScopedDescriptor file{OpenBelow(home, path.substr(home.size() + 1))};
    if (file.fd < 0) {
        if (errno == ENOENT)
            return UserFileRead::Missing;
        reason = errno == ELOOP || errno == EXDEV ? "a symbolic link is on its path" : std::strerror(errno);
        return UserFileRead::Refused;
    }
    struct stat info {};
    if (fstat(file.fd, &info) != 0) {
        reason = std::strerror(errno);
        return UserFileRead::Refused;
    }
    reason = Refusal(info, user, limit);
    if (!reason.empty())
        return UserFileRead::Refused;
    if (!ReadAll(file.fd, static_cast<size_t>(info.st_size), bytes)) {
        reason = "it could not be read whole";
        return UserFileRead::Refused;
    }
    return UserFileRead::Read;
}

}  // namespace Platform
