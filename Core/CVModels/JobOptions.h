#pragma once

#include "Core/CVModels/CustomField.h"
#include "Core/CVModels/SerializableModel.h"

#include <vector>

namespace CVClientData {

// Options of a job: processing flags, the custom fields that apply to it and
// how it reached the client.
class JobOptions : public SerializableModel {
public:
    void ToJson(nlohmann::json& json) const override;

    // "CustomField" is required.
    void FromJson(const nlohmann::json& json) override;

    // Bit 0 of the special processing flags forbids a late pop-up.
    bool CanPopLate() const { return (SpecialProcessingFlags & 1) == 0; }

    int32_t SpecialProcessingFlags = 0;
    std::vector<CVClientData::CustomField> CustomField;
    bool DelayedJob = false;       // snoozed by the user
    bool DisconnectedJob = false;  // taken while the server was unreachable
    bool IsSpoolerJob = true;
};

}  // namespace CVClientData
