#pragma once

#include <string>
#include <sys/types.h>

namespace TestSupport {

// A private D-Bus bus (dbus-daemon) for tests: its own configuration that
// lets every client own any name and call anything, listening on a unix
// socket in a temporary folder. Stopped and removed with everything in it on
// destruction.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // True once the bus has started and prints its address.
    bool Running() const { return !mstrAddress.empty(); }
    // The address clients connect to, as D-Bus writes it ("unix:path=...").
    const std::string& Address() const { return mstrAddress; }

private:
    std::string mstrFolder;
    std::string mstrAddress;
    pid_t mintPid = -1;
};

}  // namespace TestSupport
