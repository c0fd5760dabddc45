#include "Platform/ClientInstanceLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace Platform {

std::unique_ptr<ClientInstanceLock> ClientInstanceLock::Acquire(const std::string& folder, std::string& holder)
{
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const std::string path = folder + "/.client.lock";
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        holder = path + ": " + std::strerror(errno);
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        holder = errno == EWOULDBLOCK ? std::string() : path + ": " + std::strerror(errno);
        char text[32] = {};
        ssize_t length = ::pread(fd, text, sizeof text - 1, 0);
        if (holder.empty())
            holder = length > 0 ? std::string(text, static_cast<size_t>(length)) : "unknown";
        ::close(fd);
        return nullptr;
    }
    std::string pid = std::to_string(::getpid());
    // Without the process id the lock holds all the same; only a second
    // client's message lacks it.
    if (::ftruncate(fd, 0) == 0)
        (void)!::pwrite(fd, pid.data(), pid.size(), 0);
    return std::unique_ptr<ClientInstanceLock>(new ClientInstanceLock(fd));
}

ClientInstanceLock::~ClientInstanceLock()
{
    ::close(mintFd);
}

}  // namespace Platform
