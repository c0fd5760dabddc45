#pragma once

#include "Core/CVModels/SerializableModel.h"

#include <string>

namespace CVClientData {

// A message of the server's rules for the user.
class JobMessage : public SerializableModel {
public:
    // "Type" values (CVJobMessageType).
    enum MessageType : int32_t {
        JobCancelled = 0,
        ContinueOrCancel = 1,
        Information = 2,
    };

    void ToJson(nlohmann::json& json) const override;

    // A message without "Type" reads as type 0, the job is cancelled, as the
    // server means it, although a new message is information.
    void FromJson(const nlohmann::json& json) override;

    void CopyMessage(const JobMessage& other) { *this = other; }

    std::string Title;
    std::string Message;
    int32_t Type = Information;  // CVJobMessageType
    int32_t Source = 0;          // the server's origin number, passed on unchanged
    std::string CustomEventMessage;
};

}  // namespace CVClientData
