#pragma once

#include <cstdint>

// How a user's jobs are gathered into a batch that shares one pop-up: a user
// record's "BatchMode" holds one of these numbers; any other means none.
enum CVBatchMode : int32_t {
    CVBatchModeNone = 0,
    CVBatchModeManual = 1,     // a counted number of jobs ("MaxBatchSize")
    CVBatchModeAutomatic = 2,  // every job until the time-out ("BatchTimeout")
};
