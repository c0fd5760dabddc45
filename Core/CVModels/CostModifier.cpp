#include "Core/CVModels/CostModifier.h"

#include "Common/NumberConversion.h"
#include "Core/CVModels/CostingOptions.h"

#include <algorithm>

namespace CVClientData {
namespace {

// Folds one whole-number percentage into a running one. The additive rule
// treats each percentage as a change from 100, and a 0 anywhere stays 0.
int32_t CombinePercentage(int32_t option, int32_t running, int32_t percent)
{
    switch (option) {
    case PercentagesLowest:
        return std::min(running, percent);
    case PercentagesHighest:
        return std::max(running, percent);
    case PercentagesAdditive:
        if (running == 0 || percent == 0)
            return 0;
        // Summed wide: modifiers near the integer limits must not overflow.
        return ClampToInteger<int32_t>(static_cast<int64_t>(running) + percent - 100);
    default:
        return running;
    }
}

}  // namespace

void CostModifier::ToJson(nlohmann::json& json) const
{
    json["ModifierType"] = ModifierType;
    json["BWModifier"] = BWModifier;
    json["ColorModifier"] = ColorModifier;
}

void CostModifier::FromJson(const nlohmann::json& json)
{
    ModifierType = SafeJsonToInt(json, "ModifierType");
    BWModifier = SafeJsonToDouble(json, "BWModifier");
    ColorModifier = SafeJsonToDouble(json, "ColorModifier");
}

// Adds fixed amounts to the unit costs or to the added cost.
void CostModifier::AddCostModifiers(double& bwCost, double& colorCost, double& addedCost) const
{
    if (ModifierType == FixedUnitCosts) {
        bwCost += BWModifier;
        colorCost += ColorModifier;
    } else if (ModifierType == FixedAddedCost) {
        addedCost += BWModifier;
    }
}

// Scales the costs by this modifier's percentages.
void CostModifier::AddPercentageModifiers(double& bwCost, double& colorCost, double& addedCost) const
{
    if (ModifierType == PercentUnitCosts) {
        bwCost *= BWModifier / 100.0;
        colorCost *= ColorModifier / 100.0;
    } else if (ModifierType == PercentAll) {
        bwCost *= BWModifier / 100.0;
        colorCost *= BWModifier / 100.0;
        addedCost *= BWModifier / 100.0;
    }
}

// Folds this modifier's truncated percentages into the running ones.
void CostModifier::DeterminePercentageModifier(int32_t option, int32_t& bwPercent, int32_t& colorPercent,
                                               int32_t& allPercent) const
{
    const int32_t bw = ClampToInteger<int32_t>(BWModifier);
    const int32_t color = ClampToInteger<int32_t>(ColorModifier);
    if (ModifierType == PercentAll) {
        allPercent = CombinePercentage(option, allPercent, bw);
    } else if (ModifierType == PercentUnitCosts) {
        bwPercent = CombinePercentage(option, bwPercent, bw);
        colorPercent = CombinePercentage(option, colorPercent, color);
    }
}

}  // namespace CVClientData
