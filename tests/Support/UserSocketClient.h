#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace TestSupport {

// A user's client as a process of its own (tests/Support/programs/
// UserSocketClient.cpp): it runs as the given user, listens at that user's
// socket under the current filesystem root and answers every job it is
// handed 'R','Z' ('R','X' when cancel is set). Ended with the object.
class UserSocketClient {
public:
    UserSocketClient(const std::string& user, const std::string& reportPath, bool cancel = false);
    ~UserSocketClient();
    UserSocketClient(const UserSocketClient&) = delete;
    UserSocketClient& operator=(const UserSocketClient&) = delete;

    // Where it listens, once it does; empty when it could not listen or did
    // not within the limit.
    std::string WaitUntilListening(std::chrono::milliseconds limit = std::chrono::seconds(10)) const;

    // The ids of the jobs announced to it so far.
    std::vector<uint32_t> Jobs() const;

private:
    std::string mstrReport;
    pid_t mintPid = -1;
};

}  // namespace TestSupport
