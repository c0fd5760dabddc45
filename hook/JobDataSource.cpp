#include "hook/JobDataSource.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

JobDataSource::JobDataSource(const char* filePath)
{
    if (filePath == nullptr) {
        mintFd = STDIN_FILENO;
        return;
    }
    mblnFile = true;
    // Not blocking while it is opened, so that a FIFO put at the name cannot
    // hold the hook; reads of a regular file never block.
    mintFd = open(filePath, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    struct stat info {};
    if (mintFd < 0) {
        mintOpenError = errno;
    } else if (fstat(mintFd, &info) != 0 || !S_ISREG(info.st_mode)) {
        mintOpenError = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        close(mintFd);
        mintFd = -1;
    }
}

JobDataSource::~JobDataSource()
{
    if (mblnFile && mintFd >= 0)
        close(mintFd);
}

// A signal shortens the wait only by the time already spent.
int JobDataSource::WaitReadable(std::chrono::milliseconds limit) const
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd readable{mintFd, POLLIN, 0};
        int ready = poll(&readable, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready > 0 && (readable.revents & POLLNVAL) != 0) {
            errno = EBADF;
            return -1;
        }
        return ready > 0 ? 1 : ready;
    }
}

ssize_t JobDataSource::Read(std::span<unsigned char> buffer) const
{
    ssize_t got;
    do {
        got = read(mintFd, buffer.data(), buffer.size());
    } while (got < 0 && errno == EINTR);
    return got;
}
