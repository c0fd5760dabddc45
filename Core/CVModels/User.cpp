#include "Core/CVModels/User.h"

#include "Common/NumberConversion.h"

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

namespace {

struct Balances {
    double BW = 0.0;
    double Color = 0.0;
    int64_t BWPages = 0;  // cut toward zero
    int64_t ColorPages = 0;
};

// Remaining balances plus overdrafts, whole and cut to pages.
Balances AvailableBalances(const User& user)
{
    Balances balances;
    balances.BW = user.BWBalanceRemaining + user.BWBalanceOverdraft;
    balances.Color = user.ColorBalanceRemaining + user.ColorBalanceOverdraft;
    balances.BWPages = ClampToInteger<int64_t>(balances.BW);
    balances.ColorPages = ClampToInteger<int64_t>(balances.Color);
    return balances;
}

// Whether a positive page count is more than the whole pages available.
bool PagesExceed(int32_t pages, int64_t available)
{
    return pages > available && pages > 0;
}

}  // namespace

// Checks the balance of the user's kind for anything left.
bool User::ZeroBalance() const
{
    const Balances balances = AvailableBalances(*this);
    switch (Type) {
    case NoBalance:
        return false;
    case CostBalance:
    case PageBalance:
    case BWPageBalance:
        return balances.BW <= 0.0;
    case ColorPageBalance:
        return balances.Color <= 0.0;
    case BothPageBalances:
        return balances.BW <= 0.0 || balances.Color <= 0.0;
    default:
        return true;
    }
}

// Checks the job's cost or pages against the balance of the user's kind.
bool User::JobExceedsBalance(const JobCalculations& calculations) const
{
    const Balances balances = AvailableBalances(*this);
    switch (Type) {
    case NoBalance:
        return false;
    case CostBalance:
        return (calculations.MinimumCost > balances.BW && calculations.MinimumCost > 0.0) ||
               (calculations.TotalCost > balances.BW && calculations.TotalCost > 0.0);
    case PageBalance:
        return balances.BWPages <= 0 || PagesExceed(calculations.PhysicalPages, balances.BWPages);
    case BWPageBalance:
        return PagesExceed(calculations.PhysicalBWPages, balances.BWPages);
    case ColorPageBalance:
        return PagesExceed(calculations.PhysicalColorPages, balances.ColorPages);
    case BothPageBalances:
        return (balances.BWPages <= 0 && balances.ColorPages <= 0) ||
               PagesExceed(calculations.PhysicalBWPages, balances.BWPages) ||
               PagesExceed(calculations.PhysicalColorPages, balances.ColorPages);
    default:
        return true;
    }
}

}  // namespace CVClientData
