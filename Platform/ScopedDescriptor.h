#pragma once

#include <unistd.h>

namespace Platform {

// Closes a file descriptor when it leaves scope.
struct ScopedDescriptor {
    explicit ScopedDescriptor(int descriptor) : fd(descriptor) {}
    ScopedDescriptor(const ScopedDescriptor&) = delete;
    ScopedDescriptor& operator=(const ScopedDescriptor&) = delete;
    ~ScopedDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }

    int fd;
};

}  // namespace Platform
