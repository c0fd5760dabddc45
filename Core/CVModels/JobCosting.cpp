#include "Core/CVModels/JobCosting.h"

namespace CVClientData {

void JobCosting::ToJson(nlohmann::json& json) const
{
    json["PriceOption"] = PriceOption;
    json["BaseBWUnitCost"] = BaseBWUnitCost;
    json["BaseColorUnitCost"] = BaseColorUnitCost;
    json["OverrodeCostPerUnit"] = OverrodeCostPerUnit;
    json["OverriddenBWUnitCost"] = OverriddenBWUnitCost;
    json["OverriddenColorUnitCost"] = OverriddenColorUnitCost;
    json["OverrodeAddedCosts"] = OverrodeAddedCosts;
    json["OverriddenAddedCosts"] = OverriddenAddedCosts;
    json["PercentageModifierOption"] = PercentageModifierOption;
    json["Copies"] = Copies;
    json["IsDuplex"] = IsDuplex;
    json["NUpCount"] = NUpCount;
    json["CountAsPhysical"] = CountAsPhysical;
    json["PageSets"] = ListToJson(PageSets);
    json["PaperSizes"] = ListToJson(PaperSizes);
}

void JobCosting::FromJson(const nlohmann::json& json)
{
    PriceOption = SafeJsonToInt(json, "PriceOption");
    BaseBWUnitCost = SafeJsonToDouble(json, "BaseBWUnitCost");
    BaseColorUnitCost = SafeJsonToDouble(json, "BaseColorUnitCost");
    OverrodeCostPerUnit = SafeJsonToBool(json, "OverrodeCostPerUnit");
    OverriddenBWUnitCost = SafeJsonToDouble(json, "OverriddenBWUnitCost");
    OverriddenColorUnitCost = SafeJsonToDouble(json, "OverriddenColorUnitCost");
    OverrodeAddedCosts = SafeJsonToBool(json, "OverrodeAddedCosts");
    OverriddenAddedCosts = SafeJsonToDouble(json, "OverriddenAddedCosts");
    PercentageModifierOption = SafeJsonToInt(json, "PercentageModifierOption");
    Copies = SafeJsonToULong(json, "Copies");
    IsDuplex = SafeJsonToBool(json, "IsDuplex");
    NUpCount = SafeJsonToULong(json, "NUpCount");
    CountAsPhysical = SafeJsonToBool(json, "CountAsPhysical");
    PageSets = ReadRequiredList<PageSet>(json, "PageSets");
    ReadOptionalList(json, "PaperSizes", PaperSizes);
}

}  // namespace CVClientData
