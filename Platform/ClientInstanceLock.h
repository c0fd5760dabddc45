#pragma once

#include <memory>
#include <string>

namespace Platform {

// One client runs per user: the first takes an exclusive lock on
// ".client.lock" in the user's job cache folder and holds it for its life
// (the lock goes with the process, however it ends). A second client finds
// the lock taken and is told which process holds it.
class ClientInstanceLock {
public:
    // The lock, or null when another process holds it (holder: its process
    // id, when it wrote one) or the lock file cannot be made (holder: why).
    static std::unique_ptr<ClientInstanceLock> Acquire(const std::string& folder, std::string& holder);

    ~ClientInstanceLock();
    ClientInstanceLock(const ClientInstanceLock&) = delete;
    ClientInstanceLock& operator=(const ClientInstanceLock&) = delete;

private:
    explicit ClientInstanceLock(int fd) : mintFd(fd) {}
    int mintFd;
};

}  // namespace Platform
