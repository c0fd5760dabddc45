#include "Core/CVModels/Application.h"

namespace CVClientData {

void Application::ToJson(nlohmann::json& json) const
{
    json["ProcessName"] = ProcessName;
    json["Ignore"] = Ignore;
    json["BehaviorFlags"] = BehaviorFlags;
}

void Application::FromJson(const nlohmann::json& json)
{
    ProcessName = SafeJsonToString(json, "ProcessName");
    Ignore = SafeJsonToBool(json, "Ignore");
    BehaviorFlags = SafeJsonToInt(json, "BehaviorFlags");
}

}  // namespace CVClientData
