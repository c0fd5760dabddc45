#pragma once

#include "Core/CVModels/SerializableModel.h"

#include <string>

namespace CVClientData {

// A custom field defined by the server, as the job's options list it and
// the pop-up builds its input control for it.
class CustomField : public SerializableModel {
public:
    void ToJson(nlohmann::json& json) const override;
    void FromJson(const nlohmann::json& json) override;

    uint64_t Id = 0;
    uint64_t ParentId = 0;  // the field this one depends on; 0 = none
    uint64_t ChildId = 0;   // the field that depends on this one; 0 = none
    std::string Name;
    int32_t Type = 0;  // kind of input control
};

}  // namespace CVClientData
