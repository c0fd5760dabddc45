#pragma once

#include "Core/CVModels/JobMessage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace CVClientData {

// What a call of the server's rules tells the job thread: how far the rules
// ran, whether and why they cancel the job, the secure-release decision and
// the messages for the user.
class ProcessJobResult {
public:
    virtual ~ProcessJobResult() = default;

    int32_t ProcessedToStage = 0;  // CVJobProcessingStage: last rule stage the server reached
    int32_t CancelReason = 0;      // CVJobCancellationReason; 0 none
    std::string CustomCancelEventMessage;
    bool SecureOptionSet = false;
    int32_t SecureOption = 0;  // CVSecureOption
    bool ForceLateRuleAudit = false;
    std::vector<JobMessage> Messages;
};

}  // namespace CVClientData
