#include "Core/CVModels/SecureSubmitResult.h"

namespace CVClientData {

void SecureSubmitResult::ToJson(nlohmann::json& json) const
{
    json["JobIdentifier"] = JobIdentifier;
    json["PayloadToken"] = PayloadToken;
    json["PayloadUrl"] = PayloadUrl;
    json["SecureJobId"] = SecureJobId;
}

void SecureSubmitResult::FromJson(const nlohmann::json& json)
{
    JobIdentifier = SafeJsonToString(json, "JobIdentifier");
    PayloadToken = SafeJsonToString(json, "PayloadToken");
    PayloadUrl = SafeJsonToString(json, "PayloadUrl");
    SecureJobId = SafeJsonToInt(json, "SecureJobId");
}

}  // namespace CVClientData
