#pragma once

#include <cstdint>

// What becomes of a job: a job record's "TrackOption" holds one of these
// numbers. Options 1 and 2 are tracked.
enum CVTrackOption : int32_t {
    CVTrackOptionTrackWithPopup = 1,
    CVTrackOptionTrackSilently = 2,
    CVTrackOptionIgnore = 3,  // printed untracked
    CVTrackOptionCancel = 4,
};

// Whether a job is held for secure release: a job record's "SecureOption".
// From 2 on, the print file goes to the server and the local job is cancelled.
enum CVSecureOption : int32_t {
    CVSecureOptionNone = 0,
    CVSecureOptionSecuredWithoutBalance = 2,  // secured; its balance is not checked
};
