#pragma once

#include "Client/CustomFields/CustomFieldControlBase.h"
#include "Client/CustomFields/LastEntryUsed.h"

#include <QRect>
#include <QWidget>

#include <array>

class QButtonGroup;
class QRadioButton;

// The control of a field with two choices (type 2): two radio buttons, one
// above the other, titled with the short names of the field's first two
// values. None is chosen at first; clearing the control chooses the first.
class OptionField : public QWidget, public CustomFieldControlBase {
    Q_OBJECT
public:
    static constexpr size_t Rows = 2;

    OptionField(const QRect& frame, CVClientData::CustomField& field, CVClientData::WebDataService& service,
                QWidget* parent = nullptr);
    ~OptionField() override;

    QWidget& widget() override { return *this; }
    std::optional<CVClientData::CustomFieldValue> selectedCustomFieldValue() override;
    // A value that is not one of the two options chooses neither.
    void setSelectedValue(const CVClientData::CustomFieldValue* value) override;
    // Chooses the remembered value, or the first option when it has gone.
    void useLastEntry() override;
    void jobWillBeSaved() override;

    LastEntryUsed& getLastEntryUsed() { return _lastEntryUsed; }

private:
    // The user's click.
    void selectedValueChanged();
    // Checks the row, or none for -1.
    void mCheckRow(int row);

    QButtonGroup* mGroup = nullptr;
    std::array<QRadioButton*, Rows> mvecRows{};
    std::array<uint64_t, Rows> mvecTags{};  // the value id of each row; 0 for a row without a value
    uint64_t _lastValueId = 0;               // 0: no option chosen
    LastEntryUsed _lastEntryUsed;
};
