#pragma once

#include <cstdint>

namespace CVClientData {

// The unit a job is priced by (the costing's "PriceOption").
enum CVPriceOption : int32_t {
    PricePerPage = 0,
    PriceSquareFeet = 1,
    PriceSquareMetres = 2,
    PriceByPaperSize = 3,
    PriceSquareInches = 4,
    PriceLinearFeet = 5,
};

// How several percentage modifiers combine (the costing's
// "PercentageModifierOption").
enum CVPercentageModifierOption : int32_t {
    PercentagesAdditive = 0,
    PercentagesAppliedInTurn = 1,
    PercentagesHighest = 2,
    PercentagesLowest = 3,
};

}  // namespace CVClientData
