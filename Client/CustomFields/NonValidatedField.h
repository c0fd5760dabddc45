#pragma once

#include "Client/CustomFields/CustomFieldComboBox.h"
#include "Client/CustomFields/CustomFieldControlBase.h"
#include "Client/CustomFields/LastTenValues.h"

#include <QRect>

// The control of a field that takes any code (type 3): an editable combo
// box whose list holds only the user's last ten codes, between a header and
// a footer. The value is the typed code; the server does not know it, so it
// carries the id of the remembered code, or for a new code an id below every
// remembered one (-1, then -2, ...).
class NonValidatedField : public CustomFieldComboBox, public CustomFieldControlBase {
    Q_OBJECT
public:
    NonValidatedField(const QRect& frame, CVClientData::CustomField& field, CVClientData::WebDataService& service,
                      QWidget* parent = nullptr);
    ~NonValidatedField() override;

    QWidget& widget() override { return *this; }
    std::optional<CVClientData::CustomFieldValue> selectedCustomFieldValue() override;
    // Shows the value's code; none empties the text.
    void setSelectedValue(const CVClientData::CustomFieldValue* value) override;
    void useLastEntry() override { setSelectedIndex(0); }
    void jobWillBeSaved() override;

    // Chooses the remembered code at the index (0 the newest), when there is one.
    void setSelectedIndex(int index);

    // The id of a remembered code (in any letter case), else one below the
    // smallest remembered id and 0.
    int64_t findValueIDForCode(const QString& code) const;

    const LastTenValues& lastTenValues() const { return _lastTenValues; }

private:
    void mSelectionDidChange(int item);
    bool mIsHeaderOrFooter(int item) const;
    void mReloadItems();

    CVClientData::CustomFieldValue _currentCustomFieldValue;
    LastTenValues _lastTenValues;
};
