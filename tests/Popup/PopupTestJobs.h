#pragma once

#include "Client/CustomFields/CustomFieldControl.h"
#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/CustomField.h"
#include "Core/CVModels/CustomFieldValue.h"
#include "Core/WebServiceConnection/WebDataService.h"

#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Jobs, settings and a custom-field server as the job pop-up gets them, for
// its tests and its screenshots.
namespace PopupTest {

// Alex Morgan prints "Quarterly report.pdf" on Front Desk: 8 black-and-white
// and 2 colour A4 pages at 0.10 and 0.50 a page (1.80 in all), with a money
// balance of 12.50, costs and a comment box shown.
inline ClientJob TypicalJob()
{
    ClientJob job;
    job.DocumentName = "Quarterly report.pdf";
    job.Comments = "Board meeting handouts";
    job.GetPrinter().Name = "Front Desk";
    CVClientData::User& user = job.GetUser();
    user.Id = 7;
    user.DisplayName = "Alex Morgan";
    user.Type = CVClientData::User::CostBalance;
    user.BWBalanceRemaining = 12.5;
    user.ShowCosts = true;
    user.ShowComments = true;
    job.Costing.BaseBWUnitCost = 0.10;
    job.Costing.BaseColorUnitCost = 0.50;
    CVClientData::PageSet pages;
    pages.SizeName = "A4";
    pages.Width = 2100;
    pages.Height = 2970;
    pages.BWPages = 8;
    pages.ColorPages = 2;
    job.Costing.PageSets.push_back(pages);
    job.Costing.UpdatePageSetPricing();
    job.DatePrinted.tm_year = 2024 - 1900;
    job.DatePrinted.tm_mon = 2;
    job.DatePrinted.tm_mday = 14;
    job.DatePrinted.tm_hour = 9;
    job.DatePrinted.tm_min = 30;
    return job;
}

// Money with two decimals, users identified automatically.
inline CVClientData::ClientSettings TypicalSettings()
{
    CVClientData::ClientSettings settings;
    settings.NumberDecimalPlaces = 2;
    return settings;
}

inline CVClientData::CustomField Field(uint64_t id, const char* name, int32_t type, uint64_t parentId = 0)
{
    CVClientData::CustomField field;
    field.Id = id;
    field.Name = name;
    field.Type = type;
    field.ParentId = parentId;
    return field;
}

inline CVClientData::CustomFieldValue Value(uint64_t fieldId, uint64_t valueId, const char* code,
                                            const char* description = "")
{
    CVClientData::CustomFieldValue value;
    value.FieldId = fieldId;
    value.ValueId = valueId;
    value.Code = code;
    value.Description = description;
    return value;
}

// The server's custom fields and their values, answered without a network.
class FieldServer : public CVClientData::WebDataService {
public:
    bool GetCustomFields(std::vector<CVClientData::CustomField>& fields) override
    {
        fields = mvecFields;
        return true;
    }

    bool GetCustomFieldValues(std::vector<CVClientData::CustomFieldValue>& values, uint64_t fieldId,
                              uint64_t) override
    {
        values = mmapValues[fieldId];
        return true;
    }

    // Defines a field with its values, and asks for it in the job.
    void Define(ClientJob& job, const CVClientData::CustomField& field,
                std::vector<CVClientData::CustomFieldValue> values = {})
    {
        mvecFields.push_back(field);
        mmapValues[field.Id] = std::move(values);
        job.Options.CustomField.push_back(field);
    }

private:
    std::vector<CVClientData::CustomField> mvecFields;
    std::map<uint64_t, std::vector<CVClientData::CustomFieldValue>> mmapValues;
};

// The custom-field controls of a window, top row first: the kind of each
// (its object name).
inline std::vector<std::string> ControlKinds(const QWidget& window)
{
    std::vector<std::pair<int, std::string>> rows;
    for (QWidget* widget : window.findChildren<QWidget*>())
        if (dynamic_cast<CustomFieldControl*>(widget) != nullptr)
            rows.emplace_back(widget->mapTo(&window, QPoint(0, 0)).y(), widget->objectName().toStdString());
    std::sort(rows.begin(), rows.end());
    std::vector<std::string> kinds;
    for (const auto& row : rows)
        kinds.push_back(row.second);
    return kinds;
}

// The control of the field with the name in a window; none when it has none.
inline CustomFieldControl* ControlOf(const QWidget& window, const std::string& fieldName)
{
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        auto* control = dynamic_cast<CustomFieldControl*>(widget);
        if (control != nullptr && control->fieldName() == fieldName)
            return control;
    }
    return nullptr;
}

}  // namespace PopupTest
