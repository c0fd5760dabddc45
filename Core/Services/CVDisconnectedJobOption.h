#pragma once

#include <cstdint>

// What the client settings' "DisconnectedJobOption" makes of a tracked job
// taken while the server cannot be reached, and of a stored job when it is
// submitted. Any other value prints and stores the job and sends it later.
enum CVDisconnectedJobOption : int32_t {
    CVDisconnectedJobPrintUntracked = 2,  // printed untracked, not stored; stored jobs are dropped
    CVDisconnectedJobCancel = 3,          // cancelled; stored jobs are dropped
    CVDisconnectedJobStoreWithAgeLimit = 4,  // stored; dropped when older than "DisconnectedJobsOldIn" days
};
