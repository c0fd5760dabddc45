#include "Core/CVModels/CustomFieldValue.h"

namespace CVClientData {

void CustomFieldValue::ToJson(nlohmann::json& json) const
{
    json["FieldId"] = FieldId;
    json["ValueId"] = ValueId;
    json["ParentValueId"] = ParentValueId;
    json["Code"] = Code;
    json["Description"] = Description;
    json["UseBudget"] = UseBudget;
    json["BudgetRemaining"] = BudgetRemaining;
    json["Modifier"] = RecordToJson(Modifier);
}

void CustomFieldValue::FromJson(const nlohmann::json& json)
{
    FieldId = SafeJsonToULong(json, "FieldId");
    ValueId = SafeJsonToULong(json, "ValueId");
    ParentValueId = SafeJsonToULong(json, "ParentValueId");
    Code = SafeJsonToString(json, "Code");
    Description = SafeJsonToString(json, "Description");
    UseBudget = SafeJsonToBool(json, "UseBudget");
    BudgetRemaining = SafeJsonToDouble(json, "BudgetRemaining");
    Modifier = ReadRequiredRecord<CostModifier>(json, "Modifier");
}

// The code and description as the value lists show them.
std::string CustomFieldValue::ConstructLongFormatString() const
{
    return Code + " - " + Description;
}

// The shorter name of the value.
std::string CustomFieldValue::ConstructShortFormatString() const
{
    return Description.empty() ? Code : Description;
}

// A value with a budget is over it when the cost leaves nothing.
bool CustomFieldValue::OverBudget(double cost) const
{
    return UseBudget && BudgetRemaining - cost <= 0.0;
}

}  // namespace CVClientData
