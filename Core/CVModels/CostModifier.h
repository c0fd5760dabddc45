#pragma once

#include "Core/CVModels/SerializableModel.h"

namespace CVClientData {

// A cost modifier set by the server's rules, a user or a custom-field value.
// "ModifierType" 0 adds fixed amounts to the unit costs, 1 applies
// percentages to them, 2 adds "BWModifier" to the added cost, 3 applies
// "BWModifier" as a percentage of everything; other types are ignored.
class CostModifier : public SerializableModel {
public:
    void ToJson(nlohmann::json& json) const override;
    void FromJson(const nlohmann::json& json) override;

    int32_t ModifierType = 0;
    double BWModifier = 0.0;
    double ColorModifier = 0.0;
};

}  // namespace CVClientData
