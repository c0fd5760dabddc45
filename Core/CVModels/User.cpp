#include "Core/CVModels/User.h"

namespace CVClientData {

void User::ToJson(nlohmann::json& json) const
{
    json["Id"] = Id;
    json["DisplayName"] = DisplayName;
    json["NetworkName"] = NetworkName;
    json["Domain"] = Domain;
    json["UniqueKey"] = UniqueKey;
    json["SAMAccountName"] = SAMAccountName;
    nlohmann::json allowance = nlohmann::json::object();
    allowance["Type"] = Type;
    allowance["BWBalanceRemaining"] = BWBalanceRemaining;
    allowance["ColorBalanceRemaining"] = ColorBalanceRemaining;
    allowance["BWBalanceOverdraft"] = BWBalanceOverdraft;
    allowance["ColorBalanceOverdraft"] = ColorBalanceOverdraft;
    json["Allowance"] = std::move(allowance);
    json["MaxPendingJobs"] = MaxPendingJobs;
    json["ShowComments"] = ShowComments;
    json["UseLastEntries"] = UseLastEntries;
    json["BatchMode"] = BatchMode;
    json["BatchTimeout"] = BatchTimeout;
    json["MaxBatchSize"] = MaxBatchSize;
    json["AllowSnooze"] = AllowSnooze;
    json["AllowCostOverride"] = AllowCostOverride;
    json["ShowCosts"] = ShowCosts;
    json["UserCanAddCodes"] = UserCanAddCodes;
    json["IsNovell"] = IsNovell;
    json["ServiceAuthToken"] = ServiceAuthToken;
}

void User::FromJson(const nlohmann::json& json)
{
    Id = SafeJsonToULong(json, "Id");
    DisplayName = SafeJsonToString(json, "DisplayName");
    NetworkName = SafeJsonToString(json, "NetworkName");
    Domain = SafeJsonToString(json, "Domain");
    UniqueKey = SafeJsonToString(json, "UniqueKey");
    SAMAccountName = SafeJsonToString(json, "SAMAccountName");
    const nlohmann::json& allowance = RequiredValue(json, "Allowance", nlohmann::json::value_t::object);
    Type = SafeJsonToInt(allowance, "Type");
    BWBalanceRemaining = SafeJsonToDouble(allowance, "BWBalanceRemaining");
    ColorBalanceRemaining = SafeJsonToDouble(allowance, "ColorBalanceRemaining");
    BWBalanceOverdraft = SafeJsonToDouble(allowance, "BWBalanceOverdraft");
    ColorBalanceOverdraft = SafeJsonToDouble(allowance, "ColorBalanceOverdraft");
    MaxPendingJobs = SafeJsonToULong(json, "MaxPendingJobs");
    ShowComments = SafeJsonToBool(json, "ShowComments");
    UseLastEntries = SafeJsonToBool(json, "UseLastEntries");
    BatchMode = SafeJsonToInt(json, "BatchMode");
    BatchTimeout = SafeJsonToULong(json, "BatchTimeout");
    MaxBatchSize = SafeJsonToULong(json, "MaxBatchSize");
    AllowSnooze = SafeJsonToBool(json, "AllowSnooze");
    AllowCostOverride = SafeJsonToBool(json, "AllowCostOverride");
    ShowCosts = SafeJsonToBool(json, "ShowCosts");
    UserCanAddCodes = SafeJsonToBool(json, "UserCanAddCodes");
    IsNovell = SafeJsonToBool(json, "IsNovell");
    ServiceAuthToken = SafeJsonToString(json, "ServiceAuthToken");
}

}  // namespace CVClientData
