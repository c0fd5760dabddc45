#include "Core/CVModels/CostModifier.h"

namespace CVClientData {

void CostModifier::ToJson(nlohmann::json& json) const
{
    json["ModifierType"] = ModifierType;
    json["BWModifier"] = BWModifier;
    json["ColorModifier"] = ColorModifier;
}

void CostModifier::FromJson(const nlohmann::json& json)
{
    ModifierType = SafeJsonToInt(json, "ModifierType");
    BWModifier = SafeJsonToDouble(json, "BWModifier");
    ColorModifier = SafeJsonToDouble(json, "ColorModifier");
}

}  // namespace CVClientData
