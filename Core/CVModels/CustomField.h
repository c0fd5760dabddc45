#pragma once

#include "Core/CVModels/CustomFieldValue.h"
#include "Core/CVModels/SerializableModel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace CVClientData {

class ICustomFieldSource;

// A custom field defined by the server, as the job's options list it and
// the pop-up builds its input control for it, with the values currently
// loaded for it. Only the field's own keys are serialised.
class CustomField : public SerializableModel {
public:
    void ToJson(nlohmann::json& json) const override;
    void FromJson(const nlohmann::json& json) override;

    // Replaces the current values with the field's values under the parent
    // value, from the server; answers the server call's result.
    bool LoadAllCustomFieldValues(ICustomFieldSource& service, uint64_t parentValueId);

    std::vector<CustomFieldValue>& GetCurrentValuesList() { return mvecCurrentValues; }
    const std::vector<CustomFieldValue>& GetCurrentValuesList() const { return mvecCurrentValues; }
    void ClearCurrentValueList() { mvecCurrentValues.clear(); }
    size_t CountCustomFieldValues() const { return mvecCurrentValues.size(); }
    bool HasCustomFieldValues() const { return !mvecCurrentValues.empty(); }

    // The last current value with the id, if any.
    std::optional<CustomFieldValue> FindCustomFieldValueById(uint64_t valueId) const;
    // The index of the last current value with the id, or -1.
    int64_t FindCustomFieldValueIndex(uint64_t valueId) const;
    // The index of the last current value whose long format is exactly the
    // text, or -1.
    int64_t FindCustomFieldValueIndexForExactString(const std::string& text) const;
    // The first current value whose long format holds the text (case counts);
    // an empty text matches the first value.
    std::optional<CustomFieldValue> FindFirstMatchForPartialString(const std::string& text) const;

    // Looking a code up is not offered: always false, without asking the
    // list or the server.
    bool LookupCustomFieldValue(const std::string& code, uint64_t parentValueId, ICustomFieldSource& service) const;

    // Appends a copy to the current values and answers its index.
    int64_t AddCustomFieldValue(const CustomFieldValue& value);

    uint64_t Id = 0;
    uint64_t ParentId = 0;  // the field this one depends on; 0 = none
    uint64_t ChildId = 0;   // the field that depends on this one; 0 = none
    std::string Name;
    int32_t Type = 0;  // kind of input control

    // Kept for the user interface with the field, never serialised.
    int64_t UserInterfaceTag = 0;
    CustomFieldValue OwnValue;

private:
    std::vector<CustomFieldValue> mvecCurrentValues;
};

}  // namespace CVClientData
