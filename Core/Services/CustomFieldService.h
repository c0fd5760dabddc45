#pragma once

#include "Core/CVModels/CustomField.h"
#include "Core/CVModels/CustomFieldValueSearch.h"
#include "Core/CVModels/Job.h"
#include "Core/Services/BaseService.h"

#include <vector>

namespace CVCoreDataServices {

// The custom fields of a job and paged searches through a field's values,
// over the web service.
class CustomFieldService : public BaseService {
public:
    explicit CustomFieldService(CVClientData::WebDataService& service) : BaseService(service) {}

    // Fills the list with the server's fields that the job's options name,
    // in the server's order. A job whose options name no field gets an empty
    // list without a server call; so does a failed call.
    void LoadAllCustomFieldsForJob(const CVClientData::Job& job, std::vector<CVClientData::CustomField>& fields);

    // Sends one page of a search and fills the record with the answer; on
    // failure the record is as the web service left it.
    void SearchCustomFieldValues(CVClientData::CustomFieldValueSearch& search);
};

}  // namespace CVCoreDataServices
