#pragma once

#include "Core/CVModels/CostModifier.h"
#include "Core/CVModels/SerializableModel.h"

#include <string>

namespace CVClientData {

// One value of a custom field (an account or project code), with its optional
// budget and the cost modifier it brings to a job.
class CustomFieldValue : public SerializableModel {
public:
    void ToJson(nlohmann::json& json) const override;

    // "Modifier" is required.
    void FromJson(const nlohmann::json& json) override;

    // "Code - Description", the separator kept when the description is empty.
    std::string ConstructLongFormatString() const;

    // The description, or the code when there is none.
    std::string ConstructShortFormatString() const;

    // Whether the value's budget cannot pay the cost; a budget that the cost
    // would bring to exactly 0 counts as exhausted.
    bool OverBudget(double cost) const;

    uint64_t FieldId = 0;
    uint64_t ValueId = 0;  // 0 for a value the server has not stored
    uint64_t ParentValueId = 0;
    std::string Code;
    std::string Description;
    bool UseBudget = false;
    double BudgetRemaining = 0.0;
    CostModifier Modifier;
};

}  // namespace CVClientData
