#pragma once

#include "Platform/UserAccount.h"

#include <optional>
#include <string>

namespace TestSupport {

// A real local user made for one test with useradd and removed again with
// userdel, so that a test can act as a second user of the machine. It needs
// root; without root, or when useradd fails, Problem() tells why and the test
// skips. The user's name is unique to the process (several test processes
// run at once), its group is nogroup and its home folder, given in the
// password database only, is never made on the machine: a test makes it
// under its own filesystem root when it needs one. Users left behind by a
// test process that was killed are removed by the next one.
class TemporaryUser {
public:
    explicit TemporaryUser(const std::string& prefix = "cvkv");
    ~TemporaryUser();
    TemporaryUser(const TemporaryUser&) = delete;
    TemporaryUser& operator=(const TemporaryUser&) = delete;

    // Empty when the user exists, else why it does not.
    const std::string& Problem() const { return mstrProblem; }
    const Platform::UserAccount& Account() const { return *mAccount; }

    // Makes the user's home folder under the current filesystem root, owned
    // by the user (mode 0700); its path.
    std::string MakeHome() const;

private:
    std::string mstrName;
    std::optional<Platform::UserAccount> mAccount;
    std::string mstrProblem;
};

}  // namespace TestSupport
