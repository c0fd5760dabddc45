#include "hook/JobDataSource.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

JobDataSource::JobDataSource(const char* filePath)
{
    if (filePath == nullptr) {
        mintFd = STDIN_FILENO;
        return;
    }
    mblnFile = true;
    mintFd = open(filePath, O_RDONLY | O_CLOEXEC);
    if (mintFd < 0)
        mintOpenError = errno;
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
