#include "Core/CVModels/JobMessage.h"

namespace CVClientData {

void JobMessage::ToJson(nlohmann::json& json) const
{
    json["Title"] = Title;
    json["Message"] = Message;
    json["Type"] = Type;
    json["Source"] = Source;
    json["CustomEventMessage"] = CustomEventMessage;
}

void JobMessage::FromJson(const nlohmann::json& json)
{
    Title = SafeJsonToString(json, "Title");
    Message = SafeJsonToString(json, "Message");
    Type = SafeJsonToInt(json, "Type");
    Source = SafeJsonToInt(json, "Source");
    CustomEventMessage = SafeJsonToString(json, "CustomEventMessage");
}

}  // namespace CVClientData
