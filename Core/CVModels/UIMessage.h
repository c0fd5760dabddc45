#pragma once

#include "Core/CVModels/JobMessage.h"

#include <cstdint>
#include <string>

// A message for the user as the user interface shows it: a server message,
// or one the job thread makes, with the job's cancellation reason, which the
// alert reads.
class UIMessage {
public:
    UIMessage() = default;
    explicit UIMessage(const CVClientData::JobMessage& message) { ConvertFromJobMessage(message); }

    // Takes the server message's title, text, type, source and event text;
    // the cancellation reason becomes 0.
    void ConvertFromJobMessage(const CVClientData::JobMessage& message);

    std::string Title;
    std::string Message;
    int32_t Type = 0;  // CVJobMessageType
    int32_t Source = 0;
    std::string CustomEventMessage;
    int32_t CancellationReason = 0;  // CVJobCancellationReason, set by the job thread from the job
};
