#include "Core/Services/CustomFieldService.h"

#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/DebugScope.h"

#include <algorithm>
#include <unordered_set>

namespace CVCoreDataServices {

// Asks the server for all fields and keeps those that apply to the job.
void CustomFieldService::LoadAllCustomFieldsForJob(const CVClientData::Job& job,
                                                   std::vector<CVClientData::CustomField>& fields)
{
    fields.clear();
    const std::vector<CVClientData::CustomField>& wanted = job.Options.CustomField;
    if (wanted.empty())
        return;
    if (!mWebDataService.GetCustomFields(fields)) {
        fields.clear();
        return;
    }
    std::unordered_set<uint64_t> wantedIds;
    for (const CVClientData::CustomField& field : wanted)
        wantedIds.insert(field.Id);
    std::erase_if(fields, [&wantedIds](const CVClientData::CustomField& field) { return !wantedIds.contains(field.Id); });
}

// Runs one search page through the server connection.
void CustomFieldService::SearchCustomFieldValues(CVClientData::CustomFieldValueSearch& search)
{
    DebugScope scope(LogComponents::CoreGeneral, "SearchCustomFieldValues");
    mWebDataService.SearchCustomFieldValues(search);
}

}  // namespace CVCoreDataServices
