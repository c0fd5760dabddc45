#pragma once

#include "Core/CVModels/CustomFieldValue.h"

#include <cstdint>
#include <optional>
#include <string>

class QWidget;

namespace CVClientData {
class CustomField;
}

class CustomFieldControl;

// Told when the value a custom-field control stands for has changed. The job
// pop-up implements it for its controls, and a dependent control for the
// control of its parent field.
class CustomFieldControlDelegate {
public:
    // The control whose value changed; for a dependent field the notice of
    // its parent's change is passed on with the parent as the control.
    virtual void customFieldControlSelectionChanged(CustomFieldControl& control) = 0;

protected:
    ~CustomFieldControlDelegate() = default;
};

// The input control of one custom field in the job pop-up: a drop-down, a
// pair of options, a free code or a searchable list, chosen by the field's
// type. The pop-up places the control's widget in its row and talks to every
// control only through this interface.
//
// A control edits the CustomField it was made for (its current value list
// is shown, and reloaded when a parent value changes) and reaches the server
// through the web service; it owns neither, and both outlive it. The
// delegate and the parent control are not owned either: the pop-up makes
// them all and destroys them together. Main thread only.
class CustomFieldControl {
public:
    virtual ~CustomFieldControl() = default;

    // The widget to place: the control itself.
    virtual QWidget& widget() = 0;

    // The value the control now stands for, or none. A copy: the field's
    // list may be reloaded at any time.
    virtual std::optional<CVClientData::CustomFieldValue> selectedCustomFieldValue() = 0;
    // Shows that value; none (or a value without an id) clears the control.
    virtual void setSelectedValue(const CVClientData::CustomFieldValue* value) = 0;
    // Shows what the user chose last for the field, as the pop-up does for a
    // field without a value of its own when the user's "UseLastEntries" is on:
    // the newest remembered value of a list of remembered values, the
    // remembered value of a drop-down or pair of options. Called on a
    // cleared control.
    virtual void useLastEntry() = 0;

    virtual uint64_t fieldId() const = 0;
    virtual const CVClientData::CustomField& customField() const = 0;
    virtual std::string fieldName() const = 0;

    // The job is about to be saved with the control's value: remember it.
    virtual void jobWillBeSaved() = 0;

    virtual CustomFieldControlDelegate* delegate() const = 0;
    virtual void setDelegate(CustomFieldControlDelegate* delegate) = 0;

    // The control of the field this one depends on; none for a field
    // without a parent, and always none for controls that cannot depend.
    virtual CustomFieldControl* parentControl() const = 0;
    virtual void setParentControl(CustomFieldControl* parent) = 0;

    // A value found from what the user typed, for a control that has no
    // chosen value when the job is saved; none when nothing is found.
    virtual std::optional<CVClientData::CustomFieldValue> searchForUserEnteredValue() = 0;
};
