#pragma once

#include "Core/CVModels/SerializableModel.h"

namespace CVClientData {

// A cost modifier set by the server's rules, a user or a custom-field value.
class CostModifier : public SerializableModel {
public:
    // "ModifierType" values; other types are ignored.
    enum Kind : int32_t {
        FixedUnitCosts = 0,    // adds "BWModifier" and "ColorModifier" to the unit costs
        PercentUnitCosts = 1,  // "BWModifier" and "ColorModifier" are percentages of the unit costs
        FixedAddedCost = 2,    // adds "BWModifier" to the job's added cost
        PercentAll = 3,        // "BWModifier" is a percentage of the unit costs and the added cost
    };

    void ToJson(nlohmann::json& json) const override;
    void FromJson(const nlohmann::json& json) override;

    // Adds this modifier's fixed amounts (types 0 and 2).
    void AddCostModifiers(double& bwCost, double& colorCost, double& addedCost) const;

    // Multiplies by this modifier's percentages (types 1 and 3).
    void AddPercentageModifiers(double& bwCost, double& colorCost, double& addedCost) const;

    // Combines this modifier's percentages, cut to whole numbers, into the
    // running ones by the given CVPercentageModifierOption: additive, highest
    // or lowest; "applied in turn" changes nothing here.
    void DeterminePercentageModifier(int32_t option, int32_t& bwPercent, int32_t& colorPercent,
                                     int32_t& allPercent) const;

    int32_t ModifierType = 0;
    double BWModifier = 0.0;
    double ColorModifier = 0.0;
};

}  // namespace CVClientData
