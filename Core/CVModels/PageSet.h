#pragma once

#include "Core/CVModels/SerializableModel.h"

#include <string>

namespace CVClientData {

// The pages of one paper size in a job, with the unit costs they are priced
// at. Sizes are in tenths of a millimetre.
class PageSet : public SerializableModel {
public:
    void ToJson(nlohmann::json& json) const override;
    void FromJson(const nlohmann::json& json) override;

    // Billable units of one page of this size for a CVPriceOption: square
    // feet, square metres, square inches or linear feet of the width; 1 for
    // pricing per page or by paper size.
    double CalculateUnitsPerPage(int32_t priceOption) const;

    std::string SizeName;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t PageUnits = 0;  // CVPaperSizeUnits: the server's numbers, copied unchanged
    int32_t BWPages = 0;
    int32_t ColorPages = 0;
    double BaseBWUnitCost = 0.0;
    double BaseColorUnitCost = 0.0;
};

}  // namespace CVClientData
