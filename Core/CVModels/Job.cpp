#include "Core/CVModels/Job.h"

#include "Common/NumberConversion.h"
#include "Core/CVModels/DateUtil.h"
#include "CoreLogger/DebugScope.h"

#include <algorithm>

namespace CVClientData {
namespace {

// The first value of the field in the list, or the list's end.
template <typename Values>
auto FindFieldValue(Values& values, uint64_t fieldId)
{
    return std::find_if(values.begin(), values.end(),
                        [fieldId](const CustomFieldValue& value) { return value.FieldId == fieldId; });
}

}  // namespace

void Job::ToJson(nlohmann::json& json) const
{
    json["Id"] = Id;
    json["TransactionFrom"] = TransactionFrom;
    json["JobType"] = JobType;
    json["ProcessName"] = ProcessName;
    json["OperatingSystem"] = OperatingSystem;
    json["Comments"] = Comments;
    json["DocumentName"] = DocumentName;
    json["ColorMode"] = ColorMode;
    json["PrintedToFile"] = PrintedToFile;
    json["PrinterPopEarly"] = PrinterPopEarly;
    json["TrackOption"] = TrackOption;
    json["DatePrinted"] = DateUtil::ConvertStructToCOMString(DatePrinted);
    json["UpdateBalances"] = UpdateBalances;
    json["ProcessModifier"] = RecordToJson(ProcessModifier);
    json["UserModifier"] = RecordToJson(UserModifier);
    json["Costing"] = RecordToJson(Costing);
    json["Options"] = RecordToJson(Options);
    json["CustomValues"] = ListToJson(CustomValues);
    json["SecureOption"] = SecureOption;
    json["CupsId"] = CupsId;
    json["CUPSNumberOfPages"] = CUPSNumberOfPages;
    json["DefaultPageSet"] = RecordToJson(DefaultPageSet);
    json["FoundJobColorInfo"] = FoundJobColorInfo;
    json["FoundJobDuplexInfo"] = FoundJobDuplexInfo;
    json["User"] = RecordToJson(mUser);
    json["Printer"] = RecordToJson(mPrinter);
    json["ComputerName"] = mstrComputerName;
}

void Job::FromJson(const nlohmann::json& json)
{
    Id = SafeJsonToULong(json, "Id");
    TransactionFrom = SafeJsonToInt(json, "TransactionFrom");
    JobType = SafeJsonToInt(json, "JobType");
    SetComputerName(SafeJsonToString(json, "ComputerName"));
    ProcessName = SafeJsonToString(json, "ProcessName");
    OperatingSystem = SafeJsonToString(json, "OperatingSystem");
    Comments = SafeJsonToString(json, "Comments");
    DocumentName = SafeJsonToString(json, "DocumentName");
    ColorMode = SafeJsonToBool(json, "ColorMode");
    PrintedToFile = SafeJsonToBool(json, "PrintedToFile");
    PrinterPopEarly = SafeJsonToBool(json, "PrinterPopEarly");
    UpdateBalances = SafeJsonToBool(json, "UpdateBalances");
    TrackOption = SafeJsonToInt(json, "TrackOption");
    SecureOption = SafeJsonToInt(json, "SecureOption");
    DatePrinted = SafeJsonToDateTime(json, "DatePrinted");
    ProcessModifier = ReadRequiredRecord<CostModifier>(json, "ProcessModifier");
    UserModifier = ReadRequiredRecord<CostModifier>(json, "UserModifier");
    Costing = ReadRequiredRecord<JobCosting>(json, "Costing");

    ReadOptionalRecord(json, "Options", Options);
    // The user and printer are replaced whole, so the printer's URI, which
    // is never serialised, becomes empty.
    if (CVClientData::User user; ReadOptionalRecord(json, "User", user))
        GetUser() = user;
    if (CVClientData::Printer printer; ReadOptionalRecord(json, "Printer", printer))
        GetPrinter() = printer;
    ReadOptionalList(json, "CustomValues", CustomValues);

    // The server's own job form names the printer and user by these keys;
    // they are 32-bit numbers there.
    if (json.contains("DeviceId"))
        GetPrinter().Id = static_cast<uint64_t>(static_cast<int64_t>(SafeJsonToInt(json, "DeviceId")));
    if (json.contains("DeviceDisplayName"))
        GetPrinter().Name = SafeJsonToString(json, "DeviceDisplayName");
    if (json.contains("UserId"))
        GetUser().Id = static_cast<uint64_t>(static_cast<int64_t>(SafeJsonToInt(json, "UserId")));

    if (json.contains("CupsId"))
        CupsId = SafeJsonToULong(json, "CupsId");
    if (json.contains("CUPSNumberOfPages"))
        CUPSNumberOfPages = SafeJsonToULong(json, "CUPSNumberOfPages");
    ReadOptionalRecord(json, "DefaultPageSet", DefaultPageSet);
    if (json.contains("FoundJobColorInfo"))
        FoundJobColorInfo = SafeJsonToBool(json, "FoundJobColorInfo");
    if (json.contains("FoundJobDuplexInfo"))
        FoundJobDuplexInfo = SafeJsonToBool(json, "FoundJobDuplexInfo");
}

void Job::SetComputerName(const std::string& name)
{
    mstrComputerName = name;
    std::replace(mstrComputerName.begin(), mstrComputerName.end(), '.', '_');
}

std::optional<CustomFieldValue> Job::GetCustomFieldValue(uint64_t fieldId) const
{
    auto found = FindFieldValue(CustomValues, fieldId);
    if (found == CustomValues.end() || (found->ValueId == 0 && found->Code.empty()))
        return std::nullopt;
    return *found;
}

void Job::SetCustomFieldValue(const CustomFieldValue& value)
{
    DebugScope scope(LogComponents::CoreJobHandling, "SetCustomFieldValue");
    auto found = FindFieldValue(CustomValues, value.FieldId);
    if (found != CustomValues.end())
        *found = value;
    else
        CustomValues.push_back(value);
}

void Job::ClearCustomFieldValue(uint64_t fieldId)
{
    auto found = FindFieldValue(CustomValues, fieldId);
    if (found != CustomValues.end())
        CustomValues.erase(found);
}

void Job::CopyUserEnterableMembersFrom(const Job& other)
{
    Comments = other.Comments;
    Costing.OverrodeCostPerUnit = other.Costing.OverrodeCostPerUnit;
    Costing.OverriddenBWUnitCost = other.Costing.OverriddenBWUnitCost;
    Costing.OverriddenColorUnitCost = other.Costing.OverriddenColorUnitCost;
    Costing.OverrodeAddedCosts = other.Costing.OverrodeAddedCosts;
    Costing.OverriddenAddedCosts = other.Costing.OverriddenAddedCosts;
    if (&other != this)
        CustomValues = other.CustomValues;
}

void Job::AddPageSet(const std::string& sizeName, int32_t width, int32_t height, int32_t bwPages,
                     int32_t colorPages, int32_t pageUnits)
{
    PageSet pageSet;
    pageSet.SizeName = sizeName;
    pageSet.Width = width;
    pageSet.Height = height;
    pageSet.PageUnits = pageUnits;
    pageSet.BWPages = bwPages;
    pageSet.ColorPages = colorPages;
    if (!GetPrinter().ColorCapable || !ColorMode) {
        pageSet.BWPages = ClampToInteger<int32_t>(static_cast<int64_t>(bwPages) + colorPages);
        pageSet.ColorPages = 0;
    }
    Costing.PageSets.push_back(std::move(pageSet));
}

// Runs the cost engine over the job's page sets.
void Job::UpdateCalcs(JobCalculations& calculations) const
{
    if (Costing.PageSets.empty())
        return;
    std::vector<CostModifier> modifiers;
    modifiers.reserve(2 + CustomValues.size());
    modifiers.push_back(ProcessModifier);
    modifiers.push_back(UserModifier);
    for (const CustomFieldValue& value : CustomValues)
        modifiers.push_back(value.Modifier);
    Costing.CalculateCosts(modifiers, calculations);
}

// Finds the first custom value whose budget the cost would exhaust.
bool Job::CustomFieldsOverBudget(double cost, uint64_t* fieldId) const
{
    auto found = std::find_if(CustomValues.begin(), CustomValues.end(),
                              [cost](const CustomFieldValue& value) { return value.OverBudget(cost); });
    if (found == CustomValues.end())
        return false;
    if (fieldId != nullptr)
        *fieldId = found->FieldId;
    return true;
}

}  // namespace CVClientData
