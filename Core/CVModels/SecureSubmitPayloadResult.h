#pragma once

#include "Core/CVModels/SerializableModel.h"

#include <string>

namespace CVClientData {

// The server's answer to the upload of a secured job's print data.
class SecureSubmitPayloadResult : public SerializableModel {
public:
    void ToJson(nlohmann::json& json) const override;
    void FromJson(const nlohmann::json& json) override;

    void CopyFrom(const SecureSubmitPayloadResult& other) { *this = other; }

    bool AutoReleased = false;
    bool Routed = false;
    std::string ReleasedTo;  // where the job was released
};

}  // namespace CVClientData
