#pragma once

#include "Core/CVModels/CustomFieldValue.h"
#include "Core/CVModels/SerializableModel.h"

#include <string>
#include <vector>

namespace CVClientData {

// One page of a search through a custom field's values: the criteria and
// paging sent as the request, and the matching values and page count that
// the server's answer fills in.
class CustomFieldValueSearch : public SerializableModel {
public:
    CustomFieldValueSearch() = default;
    explicit CustomFieldValueSearch(uint64_t fieldId) : FieldId(fieldId) {}

    // Writes the request: criteria and paging, not the results.
    void ToJson(nlohmann::json& json) const override;

    // Reads an answer; "MatchingValues" is required.
    void FromJson(const nlohmann::json& json) override;

    uint64_t FieldId = 0;
    uint64_t ParentValueId = 0;
    std::string SearchFor;
    uint64_t PageNumber = 1;
    uint64_t PageSize = 50;
    std::vector<CustomFieldValue> MatchingValues;
    uint64_t PageCount = 1;
};

}  // namespace CVClientData
