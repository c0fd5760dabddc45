#pragma once

#include <cstdint>
#include <vector>

namespace CVClientData {

class CustomField;
class CustomFieldValue;
class CustomFieldValueSearch;

// What the custom fields need of the server connection. The web service
// implements it; the records library stays free of the network.
class ICustomFieldSource {
public:
    virtual ~ICustomFieldSource() = default;

    // Replaces the list with every custom field the server defines.
    virtual bool GetCustomFields(std::vector<CustomField>& fields) = 0;

    // Sends the search and replaces it with the server's answer: criteria,
    // paging and the page of matching values.
    virtual bool SearchCustomFieldValues(CustomFieldValueSearch& search) = 0;

    // Replaces the list with all values of a field under a parent value
    // (0 for none).
    virtual bool GetCustomFieldValues(std::vector<CustomFieldValue>& values, uint64_t fieldId,
                                      uint64_t parentValueId) = 0;
};

}  // namespace CVClientData
