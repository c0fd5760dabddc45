#include "Core/CVModels/PageSet.h"

namespace CVClientData {

void PageSet::ToJson(nlohmann::json& json) const
{
    json["SizeName"] = SizeName;
    json["Width"] = Width;
    json["Height"] = Height;
    json["PageUnits"] = PageUnits;
    json["BWPages"] = BWPages;
    json["ColorPages"] = ColorPages;
    json["BaseBWUnitCost"] = BaseBWUnitCost;
    json["BaseColorUnitCost"] = BaseColorUnitCost;
}

void PageSet::FromJson(const nlohmann::json& json)
{
    SizeName = SafeJsonToString(json, "SizeName");
    Width = SafeJsonToInt(json, "Width");
    Height = SafeJsonToInt(json, "Height");
    PageUnits = SafeJsonToInt(json, "PageUnits");
    BWPages = SafeJsonToInt(json, "BWPages");
    ColorPages = SafeJsonToInt(json, "ColorPages");
    BaseBWUnitCost = SafeJsonToDouble(json, "BaseBWUnitCost");
    BaseColorUnitCost = SafeJsonToDouble(json, "BaseColorUnitCost");
}

}  // namespace CVClientData
