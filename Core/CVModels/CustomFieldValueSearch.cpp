#include "Core/CVModels/CustomFieldValueSearch.h"

namespace CVClientData {

void CustomFieldValueSearch::ToJson(nlohmann::json& json) const
{
    json["FieldId"] = FieldId;
    json["ParentValueId"] = ParentValueId;
    json["SearchFor"] = SearchFor;
    json["PageNumber"] = PageNumber;
    json["PageSize"] = PageSize;
}

void CustomFieldValueSearch::FromJson(const nlohmann::json& json)
{
    FieldId = SafeJsonToULong(json, "FieldId");
    ParentValueId = SafeJsonToULong(json, "ParentValueId");
    SearchFor = SafeJsonToString(json, "SearchFor");
    PageNumber = SafeJsonToULong(json, "PageNumber");
    PageSize = SafeJsonToULong(json, "PageSize");
    MatchingValues = ReadRequiredList<CustomFieldValue>(json, "MatchingValues");
    PageCount = SafeJsonToULong(json, "PageCount");
}

}  // namespace CVClientData
