#include "Core/CVModels/WebDataServiceProcessJobResult.h"

namespace CVClientData {

void WebDataServiceProcessJobResult::ToJson(nlohmann::json& json) const
{
    json["ProcessedToStage"] = ProcessedToStage;
    json["CancelReason"] = CancelReason;
    json["CustomCancelEventMessage"] = CustomCancelEventMessage;
    json["SecureOptionSet"] = SecureOptionSet;
    json["SecureOption"] = SecureOption;
    json["ForceLateRuleAudit"] = ForceLateRuleAudit;
    json["Messages"] = ListToJson(Messages);
    json["TrackOptionSet"] = TrackOptionSet;
    json["PricingChanged"] = PricingChanged;
    json["CountPagesAsPhysical"] = CountPagesAsPhysical;
    json["IgnoreBalancesSet"] = IgnoreBalancesSet;
    json["IgnoreBalances"] = IgnoreBalances;
    json["CustomFieldsAreSet"] = CustomFieldsAreSet;
    json["TrackOption"] = TrackOption;
    json["PriceOption"] = PriceOption;
    json["SpecialFlags"] = SpecialFlags;
    json["JobType"] = JobType;
    json["BWUnitCost"] = BWUnitCost;
    json["ColorUnitCost"] = ColorUnitCost;
    json["ProcessModifier"] = RecordToJson(ProcessModifier);
    json["UserModifier"] = RecordToJson(UserModifier);
    json["PaperSizes"] = ListToJson(PaperSizes);
    json["CustomFields"] = ListToJson(CustomFields);
}

// Reads the answer in the server's key order; a list is emptied before it
// is read, so a failed read leaves no stale entries.
void WebDataServiceProcessJobResult::FromJson(const nlohmann::json& json)
{
    ProcessedToStage = SafeJsonToInt(json, "ProcessedToStage");
    TrackOptionSet = SafeJsonToBool(json, "TrackOptionSet");
    TrackOption = SafeJsonToInt(json, "TrackOption");
    CancelReason = SafeJsonToInt(json, "CancelReason");
    CustomCancelEventMessage = SafeJsonToString(json, "CustomCancelEventMessage");
    SecureOptionSet = SafeJsonToBool(json, "SecureOptionSet");
    SecureOption = SafeJsonToInt(json, "SecureOption");
    PricingChanged = SafeJsonToBool(json, "PricingChanged");
    PriceOption = SafeJsonToInt(json, "PriceOption");
    BWUnitCost = SafeJsonToDouble(json, "BWUnitCost");
    ColorUnitCost = SafeJsonToDouble(json, "ColorUnitCost");
    JobType = SafeJsonToInt(json, "JobType");
    CountPagesAsPhysical = SafeJsonToBool(json, "CountPagesAsPhysical");
    SpecialFlags = SafeJsonToInt(json, "SpecialFlags");
    IgnoreBalancesSet = SafeJsonToBool(json, "IgnoreBalancesSet");
    IgnoreBalances = SafeJsonToBool(json, "IgnoreBalances");
    ForceLateRuleAudit = SafeJsonToBool(json, "ForceLateRuleAudit");

    ProcessModifier = ReadRequiredRecord<CostModifier>(json, "ProcessModifier");
    UserModifier = ReadRequiredRecord<CostModifier>(json, "UserModifier");
    PaperSizes.clear();
    PaperSizes = ReadRequiredList<PricingPaperSize>(json, "PaperSizes");
    Messages.clear();
    Messages = ReadRequiredList<JobMessage>(json, "Messages");
    CustomFieldsAreSet = SafeJsonToBool(json, "CustomFieldsAreSet");
    CustomFields.clear();
    CustomFields = ReadRequiredList<CustomField>(json, "CustomFields");
}

// Applies the decisions whose flags are set, reprices the page sets with the
// price data the job now holds and takes over the cancel reason and text.
void WebDataServiceProcessJobResult::MapProcessResultsToJob(ClientJob& job) const
{
    if (TrackOptionSet)
        job.TrackOption = TrackOption;
    if (PricingChanged) {
        job.Costing.PriceOption = PriceOption;
        job.Costing.BaseBWUnitCost = BWUnitCost;
        job.Costing.BaseColorUnitCost = ColorUnitCost;
        job.Costing.PaperSizes = PaperSizes;
        job.Costing.CountAsPhysical = CountPagesAsPhysical;
        job.JobType = JobType;
        job.ProcessModifier = ProcessModifier;
        job.UserModifier = UserModifier;
    }
    job.Costing.UpdatePageSetPricing();
    if (CustomFieldsAreSet)
        job.Options.CustomField = CustomFields;
    if (IgnoreBalancesSet)
        job.UpdateBalances = !IgnoreBalances;
    job.Options.SpecialProcessingFlags = SpecialFlags;
    if (SecureOptionSet)
        job.SecureOption = SecureOption;
    job.CancelReason = CancelReason;
    job.CustomCancelEventMessage = CustomCancelEventMessage;
}

}  // namespace CVClientData
