#include "tests/CustomFieldControls/ControlFixture.h"

#include "Client/CustomFields/NonValidatedField.h"
#include "Client/CustomFields/OptionField.h"
#include "Client/CustomFields/SearchableDropDown.h"
#include "Client/CustomFields/SearchableField.h"
#include "Client/CustomFields/SimpleDropDown.h"

namespace ControlTests {

CustomFieldValue Value(uint64_t fieldId, uint64_t valueId, const std::string& code, const std::string& description,
                       uint64_t parentValueId)
{
    CustomFieldValue value;
    value.FieldId = fieldId;
    value.ValueId = valueId;
    value.ParentValueId = parentValueId;
    value.Code = code;
    value.Description = description;
    return value;
}

CustomField Field(uint64_t id, const std::string& name, std::vector<CustomFieldValue> values, uint64_t parentId)
{
    CustomField field;
    field.Id = id;
    field.Name = name;
    field.ParentId = parentId;
    for (const CustomFieldValue& value : values)
        field.AddCustomFieldValue(value);
    return field;
}

CustomField AccountField()
{
    std::vector<CustomFieldValue> values;
    for (uint64_t i = 0; i < 5; ++i)
        values.push_back(Value(1, 101 + i, "A10" + std::to_string(i), "Account " + std::to_string(i)));
    return Field(1, "Account", values);
}

QStringList Items(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items.push_back(box.itemText(i));
    return items;
}

uint64_t ChosenId(CustomFieldControl& control)
{
    std::optional<CustomFieldValue> value = control.selectedCustomFieldValue();
    return value ? value->ValueId : 0;
}

void ControlTest::SetUp()
{
    WebServiceTest::SetUp();
    mWindow.setObjectName("TestWindow");
    mWindow.resize(480, 160);
    mWindow.show();
}

std::unique_ptr<CustomFieldControl> ControlTest::Make(Kind kind, CustomField& field, bool userCanAddCodes, int y)
{
    std::unique_ptr<CustomFieldControl> control;
    switch (kind) {
    case Kind::SearchableDropDown:
        control = std::make_unique<SearchableDropDown>(Row(y), field, *mService, userCanAddCodes, &mWindow);
        break;
    case Kind::SearchableField:
        control = std::make_unique<SearchableField>(Row(y), field, *mService, userCanAddCodes, &mWindow);
        break;
    case Kind::NonValidatedField: control = std::make_unique<NonValidatedField>(Row(y), field, *mService, &mWindow); break;
    case Kind::SimpleDropDown: control = std::make_unique<SimpleDropDown>(Row(y), field, *mService, &mWindow); break;
    case Kind::OptionField:
        control = std::make_unique<OptionField>(QRect(10, y, 350, 40), field, *mService, &mWindow);
        break;
    }
    control->setDelegate(&mDelegate);
    control->widget().show();
    return control;
}

std::vector<nlohmann::json> ControlTest::SearchRequests() const
{
    std::vector<nlohmann::json> requests;
    for (const StandIn::RecordedRequest& request : mServer.RequestsTo("PUT", "printapi/customfields/values/search"))
        requests.push_back(nlohmann::json::parse(request.body, nullptr, false));
    return requests;
}

}  // namespace ControlTests
