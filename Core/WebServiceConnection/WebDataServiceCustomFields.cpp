#include "Core/CVModels/CustomField.h"
#include "Core/CVModels/CustomFieldValue.h"
#include "Core/CVModels/CustomFieldValueSearch.h"
#include "Core/WebServiceConnection/ServiceText.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <nlohmann/json.hpp>

// The custom-field endpoints: the fields, paged value searches and values
// that users add.

using Log = ComponentLog<LogComponents::CoreMessaging>;

namespace CVClientData {

// Replaces the list with the server's fields, in the server's order.
bool WebDataService::GetCustomFields(std::vector<CustomField>& fields)
{
    WebDataServiceResponse response;
    if (!mCall("GetCustomFields", RequestKind::Unauthenticated, "GET", mUrlFor("printapi/customfields"),
               std::string(), response))
        return false;
    Log::Debug("%s", mLogSafe(response.mstrBody));
    return mReadAnswer("GetCustomFields", response, [&fields](const nlohmann::json& answer) {
        fields = ReadRecordArray<CustomField>(answer);
    });
}

// Sends the criteria and paging (the result list emptied first) and takes
// the answer whole: criteria, paging and the page of values.
bool WebDataService::SearchCustomFieldValues(CustomFieldValueSearch& search)
{
    search.MatchingValues.clear();
    WebDataServiceResponse response;
    if (!mCall("SearchCustomFieldValues", RequestKind::Unauthenticated, "PUT",
               mUrlFor("printapi/customfields/values/search"), RecordText(search), response))
        return false;
    return mReadAnswer("SearchCustomFieldValues", response,
                       [&search](const nlohmann::json& answer) { ReadRecordOver(answer, search); });
}

// Every value of a field under a parent value, as one search of unlimited size.
bool WebDataService::GetCustomFieldValues(std::vector<CustomFieldValue>& values, uint64_t fieldId,
                                          uint64_t parentValueId)
{
    CustomFieldValueSearch search(fieldId);
    search.ParentValueId = parentValueId;
    search.PageNumber = 1;
    search.PageSize = 0;
    search.SearchFor.clear();
    if (!SearchCustomFieldValues(search))
        return false;
    values = std::move(search.MatchingValues);
    return true;
}

// Not offered.
bool WebDataService::GetCustomFieldValueByCode(uint64_t, uint64_t, const std::string&, CustomFieldValue&)
{
    mNotImplemented("GetCustomFieldValueByCode");
}

// Adds a value that a user typed; the stored value (with its id) replaces it.
bool WebDataService::AddCustomFieldValue(CustomFieldValue& value, std::string&)
{
    if (!HasToken())
        return false;
    WebDataServiceResponse response;
    if (!mCall("AddCustomFieldValue", RequestKind::Authenticated, "POST", mUrlFor("printapi/customfields/values"),
               RecordText(value), response))
        return false;
    return mReadAnswer("AddCustomFieldValue", response,
                       [&value](const nlohmann::json& answer) { ReadRecordOver(answer, value); });
}

}  // namespace CVClientData
