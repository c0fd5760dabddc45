#include "Core/CVModels/PageSet.h"

#include "Core/CVModels/CostingOptions.h"

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

// Area or length of one page from its size in tenths of a millimetre. The
// steps and their order are those the server prices with, so that both
// round alike.
double PageSet::CalculateUnitsPerPage(int32_t priceOption) const
{
    const double width = Width;
    const double height = Height;
    switch (priceOption) {
    case PriceSquareFeet:
        return width * (height / 10.0) / 10.0 / 92903.0;
    case PriceSquareMetres:
        return height * (width / 10000.0) / 10000.0;
    case PriceSquareInches:
        return width * (height / 254.0) / 254.0;
    case PriceLinearFeet:
        return width / 3048.0;
    default:
        return 1.0;
    }
}

}  // namespace CVClientData
