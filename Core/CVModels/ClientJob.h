#pragma once

#include "Core/CVModels/Job.h"

#include <string>

// The client's form of a job: the job record with what the client learns
// while it processes the job. The added members are never serialised;
// ToJson and FromJson are exactly the job's.
class ClientJob : public CVClientData::Job {
public:
    // A new client job comes from this client (origin 3) and from an
    // application not yet known.
    ClientJob();

    bool IsSecured() const { return SecureOption != 0; }
    bool IsDisconnected() const { return Options.DisconnectedJob; }
    void SetDisconnected(bool disconnected) { Options.DisconnectedJob = disconnected; }

    std::string CustomCancelEventMessage;
    int32_t CancelReason = 0;      // CVJobCancellationReason
    int32_t ProcessedToStage = 0;  // CVJobProcessingStage: last rule stage the server reached
    bool ForceLateRuleAudit = false;
};
