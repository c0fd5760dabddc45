#pragma once

#include "Core/CVModels/CustomField.h"
#include "Core/CVModels/CustomFieldValueSearch.h"
#include "Core/CVModels/ICustomFieldSource.h"

#include <cstdint>
#include <vector>

namespace CustomFieldTest {

// Stands in for the server's custom-field endpoints: answers from fixed
// data, as the web service would after a successful or failed call, and
// records what it was asked.
class FakeCustomFieldSource : public CVClientData::ICustomFieldSource {
public:
    bool GetCustomFields(std::vector<CVClientData::CustomField>& fields) override
    {
        ++mintFieldCalls;
        if (mblnSucceed)
            fields = mvecFields;
        return mblnSucceed;
    }

    bool SearchCustomFieldValues(CVClientData::CustomFieldValueSearch& search) override
    {
        mvecSearches.push_back(search);
        if (mblnSucceed) {
            search.MatchingValues = mvecValues;
            search.PageCount = 3;
        }
        return mblnSucceed;
    }

    bool GetCustomFieldValues(std::vector<CVClientData::CustomFieldValue>& values, uint64_t fieldId,
                              uint64_t parentValueId) override
    {
        mulAskedFieldId = fieldId;
        mulAskedParentValueId = parentValueId;
        mintListSizeWhenAsked = static_cast<int>(values.size());
        if (mblnSucceed)
            values = mvecValues;
        return mblnSucceed;
    }

    bool mblnSucceed = true;
    std::vector<CVClientData::CustomField> mvecFields;
    std::vector<CVClientData::CustomFieldValue> mvecValues;
    int mintFieldCalls = 0;
    std::vector<CVClientData::CustomFieldValueSearch> mvecSearches;
    uint64_t mulAskedFieldId = 0;
    uint64_t mulAskedParentValueId = 0;
    int mintListSizeWhenAsked = -1;
};

inline CVClientData::CustomFieldValue MakeValue(uint64_t valueId, const char* code, const char* description)
{
    CVClientData::CustomFieldValue value;
    value.FieldId = 1;
    value.ValueId = valueId;
    value.Code = code;
    value.Description = description;
    return value;
}

inline CVClientData::CustomField MakeField(uint64_t id, const char* name)
{
    CVClientData::CustomField field;
    field.Id = id;
    field.Name = name;
    return field;
}

}  // namespace CustomFieldTest
