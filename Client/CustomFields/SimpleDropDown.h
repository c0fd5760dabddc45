#pragma once

#include "Client/CustomFields/CustomFieldComboBox.h"
#include "Client/CustomFields/CustomFieldControlBase.h"
#include "Client/CustomFields/LastEntryUsed.h"

#include <QRect>

// The control of a field with a short fixed list (type 1): a combo box that
// cannot be typed in, listing the field's values by their short name, which
// remembers the value chosen last.
class SimpleDropDown : public CustomFieldComboBox, public CustomFieldControlBase {
    Q_OBJECT
public:
    SimpleDropDown(const QRect& frame, CVClientData::CustomField& field, CVClientData::WebDataService& service,
                   QWidget* parent = nullptr);
    ~SimpleDropDown() override;

    QWidget& widget() override { return *this; }
    std::optional<CVClientData::CustomFieldValue> selectedCustomFieldValue() override;
    void setSelectedValue(const CVClientData::CustomFieldValue* value) override;
    // Chooses the remembered value when the field still has it.
    void useLastEntry() override;
    void jobWillBeSaved() override;

    LastEntryUsed& getLastEntryUsed() { return _lastValueUsed; }

private:
    LastEntryUsed _lastValueUsed;
};
