#include "Core/CVModels/CustomField.h"

namespace CVClientData {

void CustomField::ToJson(nlohmann::json& json) const
{
    json["Id"] = Id;
    json["ParentId"] = ParentId;
    json["ChildId"] = ChildId;
    json["Name"] = Name;
    json["Type"] = Type;
}

void CustomField::FromJson(const nlohmann::json& json)
{
    Id = SafeJsonToULong(json, "Id");
    ParentId = SafeJsonToULong(json, "ParentId");
    ChildId = SafeJsonToULong(json, "ChildId");
    Name = SafeJsonToString(json, "Name");
    Type = SafeJsonToInt(json, "Type");
}

}  // namespace CVClientData
