#pragma once

#include "Client/CustomFields/CustomFieldAdder.h"
#include "Client/CustomFields/CustomFieldControlBase.h"
#include "Client/CustomFields/LastTenValues.h"

#include <QPointer>
#include <QWidget>

#include <optional>
#include <vector>

class CustomFieldComboBox;
class QPushButton;

// The frame of the two controls that list a user's last ten values above
// the field's values (SearchableDropDown and SearchableField): a combo box
// with buttons to its right, the last ten of the field under the current
// parent value, the sheet that adds a code, and the dependence on a parent
// field's control.
//
// The combo box's items: with n remembered values, item 0 is a header, items
// 1 to n the remembered values (newest first), item n + 1 a footer, and the
// field's current values follow; without remembered values the items are
// just the current values. Choosing the header or the footer chooses nothing
// and empties the box.
//
// As a dependent control it is its parent control's delegate: a change of
// the parent's value clears this control, loads what belongs under the new
// parent value and passes the notice on to its own delegate. It is disabled
// while the parent has no value.
class LastTenComboControl : public QWidget, public CustomFieldControlBase, public CustomFieldControlDelegate {
    Q_OBJECT
public:
    ~LastTenComboControl() override;

    QWidget& widget() override { return *this; }
    std::optional<CVClientData::CustomFieldValue> selectedCustomFieldValue() override;
    void useLastEntry() override { setSelectedIndex(0); }
    void jobWillBeSaved() override;
    // None also once the parent control has gone.
    CustomFieldControl* parentControl() const override;
    void setParentControl(CustomFieldControl* parent) override;

    // The parent control's value changed.
    void customFieldControlSelectionChanged(CustomFieldControl& parent) override;

    // Chooses the remembered value at the index (0 the newest), when there is one.
    void setSelectedIndex(int index);

    // The add button's action: shows the sheet that adds a code.
    void addNewCode();

    const LastTenValues& lastTenValues() const { return _lastTenValues; }
    CustomFieldComboBox& comboBox() const { return *_comboBox; }

protected:
    // The debug lines of adding a code, which name the class.
    struct AddCodeLines {
        const char* opening;
        const char* closed;
    };
    enum class ItemKind { None, Header, Remembered, Footer, Value };

    // Loads the last ten of the field for parent value 0 and drops those
    // whose value the field no longer has; the subclass then adds its
    // buttons and fills the items (reloadItems).
    LastTenComboControl(const QRect& frame, CVClientData::CustomField& field, CVClientData::WebDataService& service,
                        bool userCanAddCodes, AddCodeLines addCodeLines, QWidget* parent);

    // The text of a remembered value's item.
    virtual QString rememberedItemText(const LastTenEntry& entry) const = 0;
    // Loads the field's values for a newly chosen parent value.
    virtual void mLoadValuesForParent(uint64_t) {}
    // A chosen remembered value was forgotten because it has gone.
    virtual void mTellValueGone() {}

    // Rebuilds the items from the last ten and the field's current values.
    void reloadItems();
    // Adds a button at the right end (the buttons come in the order added).
    void mAddTrailingButton(QPushButton* button);
    // Lists only the remembered values and their header and footer at a time.
    void mShowRememberedRowsOnly() { mblnShowRememberedRowsOnly = true; }

    int mRememberedCount() const { return static_cast<int>(_lastTenValues.size()); }
    // The item of the field's current value at the index.
    int mValueItem(int64_t valueIndex) const;
    ItemKind mKindOf(int item) const;
    void mSelectItem(int item);
    // The value id of the parent control's value; 0 without a parent or a value.
    uint64_t mParentValueId() const;

    void resizeEvent(QResizeEvent* event) override;

    LastTenValues _lastTenValues;
    CustomFieldAdder _customFieldAdder;
    CustomFieldComboBox* _comboBox = nullptr;
    QPushButton* _addButton = nullptr;

private:
    void mComboBoxSelectionDidChange(int item);
    void mDidEndSheet(int returnCode);
    void mSetInputsEnabled(bool enabled);
    void mLayOut();
    std::optional<CVClientData::CustomFieldValue> mValueAt(int64_t index) const;

    const AddCodeLines mAddCodeLines;
    CustomFieldControl* _parentCustomFieldControl = nullptr;
    QPointer<QWidget> mParentWidget;  // the parent control's widget, to know it is still there
    std::vector<QPushButton*> mvecTrailingButtons;
    bool mblnShowRememberedRowsOnly = false;
};
