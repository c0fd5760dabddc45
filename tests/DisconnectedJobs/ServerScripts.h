#pragma once

#include "Core/CVModels/ClientJob.h"
#include "tests/StandInServer/StandInServer.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace DisconnectedJobTests {

// The stand-in's endpoint for disconnected jobs, scripted: it answers with a
// status of the test's choosing (200 accepts), can stall one submission,
// and keeps a ledger of the jobs it accepted by their CUPS job id. A request
// without a token the stand-in granted is refused with 401, as the real
// endpoint does.
class SubmissionLedger {
public:
    explicit SubmissionLedger(StandIn::StandInServer& server, std::chrono::milliseconds delay = {});

    // Every later submission gets this status.
    void AnswerWith(int status);
    // The nth submission from now on (1 is the next) gets no answer until
    // the server's stalls are released; it is not accepted.
    void StallSubmission(int n);

    // Accepted submissions by CUPS job id, with how often each was accepted.
    std::map<uint64_t, int> Accepted() const;
    size_t AcceptedCount() const;
    // Submissions received, accepted or not.
    int Received() const;
    // Waits until this many submissions were received.
    bool WaitForReceived(int count, std::chrono::milliseconds limit = std::chrono::seconds(30)) const;

private:
    struct State {
        mutable std::mutex lock;
        int status = 200;
        int stallAt = 0;  // received count that stalls; 0: none
        int received = 0;
        std::map<uint64_t, int> accepted;
    };
    std::shared_ptr<State> mState;
};

// The user's pending jobs as the stand-in holds them: "GET
// printapi/pendingjobs" lists the jobs not yet saved, "POST printapi/jobs"
// saves one (it leaves the pending list) unless the test makes saves fail.
class PendingJobsOnServer {
public:
    explicit PendingJobsOnServer(StandIn::StandInServer& server);

    // A pending job with this server id.
    void Add(uint64_t id);
    // Saves of these job ids fail with 500.
    void FailSavesOf(std::set<uint64_t> ids);

    // The job ids saved, in order, and whether each was sent snoozed.
    std::vector<uint64_t> Saved() const;
    std::vector<bool> SavedSnoozed() const;
    size_t PendingCount() const;

private:
    struct State {
        mutable std::mutex lock;
        std::vector<uint64_t> pending;
        std::set<uint64_t> failing;
        std::vector<uint64_t> saved;
        std::vector<bool> savedSnoozed;
    };
    std::shared_ptr<State> mState;
};

// A job as a job thread stores it, for the CUPS job id, printed at the time.
ClientJob StoredJob(uint32_t cupsId, std::time_t printedAt);

}  // namespace DisconnectedJobTests
