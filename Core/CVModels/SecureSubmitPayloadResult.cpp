#include "Core/CVModels/SecureSubmitPayloadResult.h"

namespace CVClientData {

void SecureSubmitPayloadResult::ToJson(nlohmann::json& json) const
{
    json["AutoReleased"] = AutoReleased;
    json["Routed"] = Routed;
    json["ReleasedTo"] = ReleasedTo;
}

void SecureSubmitPayloadResult::FromJson(const nlohmann::json& json)
{
    AutoReleased = SafeJsonToBool(json, "AutoReleased");
    Routed = SafeJsonToBool(json, "Routed");
    ReleasedTo = SafeJsonToString(json, "ReleasedTo");
}

}  // namespace CVClientData
