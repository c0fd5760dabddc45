#include "Core/CVModels/JobOptions.h"

namespace CVClientData {

void JobOptions::ToJson(nlohmann::json& json) const
{
    json["SpecialProcessingFlags"] = SpecialProcessingFlags;
    json["CustomField"] = ListToJson(CustomField);
    json["DelayedJob"] = DelayedJob;
    json["DisconnectedJob"] = DisconnectedJob;
    json["IsSpoolerJob"] = IsSpoolerJob;
}

void JobOptions::FromJson(const nlohmann::json& json)
{
    SpecialProcessingFlags = SafeJsonToInt(json, "SpecialProcessingFlags");
    CustomField = ReadRequiredList<CVClientData::CustomField>(json, "CustomField");
    DelayedJob = SafeJsonToBool(json, "DelayedJob");
    DisconnectedJob = SafeJsonToBool(json, "DisconnectedJob");
    IsSpoolerJob = SafeJsonToBool(json, "IsSpoolerJob");
}

}  // namespace CVClientData
