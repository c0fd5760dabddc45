#pragma once

#include "Core/CVModels/PageSet.h"
#include "Core/CVModels/PricingPaperSize.h"
#include "Core/CVModels/SerializableModel.h"

#include <vector>

namespace CVClientData {

// A job's costing inputs: the pricing unit and base costs the server's rules
// set, the user's overrides, the job's copies, duplex and n-up, its page sets
// and the server's price table by paper size.
class JobCosting : public SerializableModel {
public:
    void ToJson(nlohmann::json& json) const override;

    // "PageSets" is required; "PaperSizes" is read only when present.
    void FromJson(const nlohmann::json& json) override;

    int32_t PriceOption = 0;  // CVPriceOption
    double BaseBWUnitCost = 0.0;
    double BaseColorUnitCost = 0.0;
    bool OverrodeCostPerUnit = false;
    double OverriddenBWUnitCost = 0.0;
    double OverriddenColorUnitCost = 0.0;
    bool OverrodeAddedCosts = false;
    double OverriddenAddedCosts = 0.0;
    int32_t PercentageModifierOption = 1;  // CVPercentageModifierOption
    uint64_t Copies = 1;
    bool IsDuplex = false;
    uint64_t NUpCount = 1;
    bool CountAsPhysical = false;
    std::vector<PageSet> PageSets;
    std::vector<PricingPaperSize> PaperSizes;
};

}  // namespace CVClientData
