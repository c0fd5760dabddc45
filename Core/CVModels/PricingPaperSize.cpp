#include "Core/CVModels/PricingPaperSize.h"

namespace CVClientData {

void PricingPaperSize::ToJson(nlohmann::json& json) const
{
    json["Id"] = Id;
    json["SizeName"] = SizeName;
    json["PageUnits"] = PageUnits;
    json["FromWidth"] = FromWidth;
    json["FromHeight"] = FromHeight;
    json["ToWidth"] = ToWidth;
    json["ToHeight"] = ToHeight;
    json["BWCost"] = BWCost;
    json["ColorCost"] = ColorCost;
}

void PricingPaperSize::FromJson(const nlohmann::json& json)
{
    Id = SafeJsonToULong(json, "Id");
    SizeName = SafeJsonToString(json, "SizeName");
    PageUnits = SafeJsonToInt(json, "PageUnits");
    FromWidth = SafeJsonToLong(json, "FromWidth");
    FromHeight = SafeJsonToLong(json, "FromHeight");
    ToWidth = SafeJsonToLong(json, "ToWidth");
    ToHeight = SafeJsonToLong(json, "ToHeight");
    BWCost = SafeJsonToDouble(json, "BWCost");
    ColorCost = SafeJsonToDouble(json, "ColorCost");
}

}  // namespace CVClientData
