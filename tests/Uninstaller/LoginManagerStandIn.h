#pragma once

#include <string>
#include <sys/types.h>

namespace UninstallerTests {

// The stand-in of systemd-logind (programs/LogindStandIn.cpp) serving on a
// private bus that this process takes as its system bus. The bus is one for
// the whole process, since Qt keeps its system bus connection for the
// process's life; each stand-in has its own record and is stopped on
// destruction.
class LoginManagerStandIn {
public:
    // refuse: every request is answered as polkit's refusal.
    LoginManagerStandIn(const std::string& folder, bool refuse = false);
    ~LoginManagerStandIn();
    LoginManagerStandIn(const LoginManagerStandIn&) = delete;
    LoginManagerStandIn& operator=(const LoginManagerStandIn&) = delete;

    // True once it serves on the bus.
    bool Serving() const { return mblnServing; }
    // The calls it has had, one line each ("Reboot(true) interactive").
    std::string Calls() const;

private:
    std::string mstrRecord;
    pid_t mintPid = -1;
    bool mblnServing = false;
};

}  // namespace UninstallerTests
