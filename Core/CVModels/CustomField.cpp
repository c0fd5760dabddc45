#include "Core/CVModels/CustomField.h"

#include "Core/CVModels/ICustomFieldSource.h"

#include <algorithm>
#include <iterator>

namespace CVClientData {
namespace {

// The index of the last value that satisfies the test, or -1.
template <typename Test>
int64_t LastIndexWhere(const std::vector<CustomFieldValue>& values, Test test)
{
    auto found = std::find_if(values.rbegin(), values.rend(), test);
    if (found == values.rend())
        return -1;
    return static_cast<int64_t>(std::distance(values.begin(), found.base()) - 1);
}

}  // namespace

void CustomField::ToJson(nlohmann::json& json) const
{
    json["Id"] = Id;
    json["ParentId"] = ParentId;
    json["ChildId"] = ChildId;
    json["Name"] = Name;
    json["Type"] = Type;
}

void CustomField::FromJson(const nlohmann::json& json)
{
    Id = SafeJsonToULong(json, "Id");
    ParentId = SafeJsonToULong(json, "ParentId");
    ChildId = SafeJsonToULong(json, "ChildId");
    Name = SafeJsonToString(json, "Name");
    Type = SafeJsonToInt(json, "Type");
}

// Empties the current values and fills them from the server.
bool CustomField::LoadAllCustomFieldValues(ICustomFieldSource& service, uint64_t parentValueId)
{
    mvecCurrentValues.clear();
    return service.GetCustomFieldValues(mvecCurrentValues, Id, parentValueId);
}

// The last value with the id, as a copy.
std::optional<CustomFieldValue> CustomField::FindCustomFieldValueById(uint64_t valueId) const
{
    const int64_t index = FindCustomFieldValueIndex(valueId);
    if (index < 0)
        return std::nullopt;
    return mvecCurrentValues.at(static_cast<size_t>(index));
}

// Where the last value with the id stands.
int64_t CustomField::FindCustomFieldValueIndex(uint64_t valueId) const
{
    return LastIndexWhere(mvecCurrentValues,
                          [valueId](const CustomFieldValue& value) { return value.ValueId == valueId; });
}

// Where the last value with exactly this long format stands.
int64_t CustomField::FindCustomFieldValueIndexForExactString(const std::string& text) const
{
    return LastIndexWhere(mvecCurrentValues, [&text](const CustomFieldValue& value) {
        return value.ConstructLongFormatString() == text;
    });
}

// The first value whose long format holds the text.
std::optional<CustomFieldValue> CustomField::FindFirstMatchForPartialString(const std::string& text) const
{
    auto found = std::find_if(mvecCurrentValues.begin(), mvecCurrentValues.end(), [&text](const CustomFieldValue& value) {
        return value.ConstructLongFormatString().find(text) != std::string::npos;
    });
    if (found == mvecCurrentValues.end())
        return std::nullopt;
    return *found;
}

// Answers false: the server offers no lookup of a single code.
bool CustomField::LookupCustomFieldValue(const std::string&, uint64_t, ICustomFieldSource&) const
{
    return false;
}

// Appends a copy of the value to the current values.
int64_t CustomField::AddCustomFieldValue(const CustomFieldValue& value)
{
    mvecCurrentValues.push_back(value);
    return static_cast<int64_t>(mvecCurrentValues.size()) - 1;
}

}  // namespace CVClientData
