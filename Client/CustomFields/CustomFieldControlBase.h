#pragma once

#include "Client/CustomFields/CustomFieldControl.h"

namespace CVClientData {
class CustomField;
class WebDataService;
}  // namespace CVClientData

// What every custom-field control shares: the field it edits, the web
// service, the delegate and the notice to it. A control that cannot depend
// on a parent field keeps the defaults below: no parent, nothing to look up
// from typed text.
class CustomFieldControlBase : public CustomFieldControl {
public:
    uint64_t fieldId() const override;
    const CVClientData::CustomField& customField() const override { return _customField; }
    std::string fieldName() const override;

    CustomFieldControlDelegate* delegate() const override { return _delegate; }
    void setDelegate(CustomFieldControlDelegate* delegate) override { _delegate = delegate; }

    CustomFieldControl* parentControl() const override { return nullptr; }
    void setParentControl(CustomFieldControl*) override {}
    std::optional<CVClientData::CustomFieldValue> searchForUserEnteredValue() override { return std::nullopt; }

protected:
    CustomFieldControlBase(CVClientData::CustomField& field, CVClientData::WebDataService& service)
        : _customField(field), _webDataService(service)
    {
    }

    // Tells the delegate, when there is one, that the control's value changed.
    void mTellDelegate(CustomFieldControl& changed);

    // Puts the control's value, when it has one, into the store of
    // remembered values and writes the store; whether there was a value.
    template <typename Store>
    bool mRememberSelectedValue(Store& store)
    {
        std::optional<CVClientData::CustomFieldValue> value = selectedCustomFieldValue();
        if (!value)
            return false;
        store.addValue(*value);
        store.saveToUserPrefs();
        return true;
    }

    CVClientData::CustomField& _customField;
    CVClientData::WebDataService& _webDataService;

private:
    CustomFieldControlDelegate* _delegate = nullptr;
};
