#pragma once

#include "Core/CVModels/CustomField.h"
#include "Core/CVModels/CustomFieldValue.h"

#include <QWidget>

#include <cstdint>

class PopupWindow;
class QComboBox;

// Stands in, inside the job pop-up, for the input control of one custom-field
// row until the real controls (searchable and simple drop-downs, option
// fields, free-text fields) are part of the client. It offers what the
// pop-up asks of a control and always answers "no value", so that the rows,
// the window's height and the validation that refuses a job without a value
// work as they will with the real controls.
//
// The field is the pop-up's own record, which outlives the control.
class PlaceholderFieldControl : public QWidget {
    Q_OBJECT

public:
    // The kinds of control a field asks for, by its type and its parent.
    enum class Kind { SearchableDropDown, SimpleDropDown, OptionField, NonValidatedField, SearchableField };

    PlaceholderFieldControl(Kind kind, const CVClientData::CustomField& field, QWidget* parent);

    Kind kind() const { return mKind; }

    // --- What the pop-up asks of every control ---
    // The value the control stands for: never one.
    const CVClientData::CustomFieldValue* selectedCustomFieldValue() const { return nullptr; }
    // Shows a value; none clears. There is nothing to show.
    void setSelectedValue(const CVClientData::CustomFieldValue*) {}
    int64_t fieldId() const { return static_cast<int64_t>(mField.Id); }
    const CVClientData::CustomField& customField() const { return mField; }
    QString fieldName() const { return QString::fromStdString(mField.Name); }
    // The job is about to be saved: there is no value to remember.
    void jobWillBeSaved(QObject*) {}
    PopupWindow* delegate() const { return mDelegate; }
    void setDelegate(PopupWindow* delegate) { mDelegate = delegate; }
    PlaceholderFieldControl* parentControl() const { return mParent; }
    void setParentControl(PlaceholderFieldControl* parent) { mParent = parent; }
    // A value found from what the user typed: never one.
    const CVClientData::CustomFieldValue* searchForUserEnteredValue() const { return nullptr; }

    // --- What the pop-up asks of some kinds when it restores the last entry ---
    // Selects the i-th most recent remembered value: none is remembered.
    void setSelectedIndex(int) {}
    // The value id chosen last time for the field: none (0).
    int64_t getLastEntryValue() const { return 0; }
    // Selects the field's value at the index of its current list.
    void selectItemAtIndex(int) {}

private:
    const Kind mKind;
    const CVClientData::CustomField& mField;
    PopupWindow* mDelegate = nullptr;
    PlaceholderFieldControl* mParent = nullptr;
};
