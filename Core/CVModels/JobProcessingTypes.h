#pragma once

#include <cstdint>

// The numbers a job carries through the server's rules. They travel as plain
// integers in records and URLs; any value the server sends passes unchanged.

// The stages of the server's rules, run in order from 0 to 4. The start rules
// run stages 0 to 1 before the page data is known; the end rules run on up to
// 2 for a snoozed job, 3 for a secured one and 4 for every other.
enum CVJobProcessingStage : int32_t {
    CVJobProcessingStageStart = 0,
    CVJobProcessingStageBeforePages = 1,
    CVJobProcessingStagePopup = 2,
    CVJobProcessingStageSecure = 3,
    CVJobProcessingStageFinal = 4,
};

// Why a job was cancelled; 0 when it was not. The user interface chooses its
// explanation by this number; 13 and 15 carry the server's own message.
enum CVJobCancellationReason : int32_t {
    CVCancelReasonNone = 0,
    CVCancelReasonApplication = 1,
    CVCancelReasonUser = 2,
    CVCancelReasonPrinter = 3,
    CVCancelReasonRequireDuplex = 4,
    CVCancelReasonMonoOnly = 5,
    CVCancelReasonColorOnly = 6,
    CVCancelReasonNUp = 7,
    CVCancelReasonZeroBalance = 8,
    CVCancelReasonDisconnected = 9,
    CVCancelReasonSecurity = 10,
    CVCancelReasonServerError = 11,
    CVCancelReasonCannotDuplex = 12,
    CVCancelReasonCompatibility = 14,
};

// What kind of print data a secure-release upload carries; the number goes
// into the submission's path.
enum CVSecureJobDataType : int32_t {
    CVSecureJobDataUnknown = 0,
    CVSecureJobDataSpoolFile = 1,  // the copy of the job's CUPS data file
};
