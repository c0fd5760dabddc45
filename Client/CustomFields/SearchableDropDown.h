#pragma once

#include "Client/CustomFields/LastTenComboControl.h"

#include <QRect>

// The control of a field whose values are listed whole (type 0, and type 4
// with a parent): an editable combo box with the last ten and the field's
// values, which completes what the user types with the first value that
// holds it, and an add button when the user may add codes. A remembered
// value that has gone from the field is dropped without a word when chosen.
class SearchableDropDown : public LastTenComboControl {
    Q_OBJECT
public:
    // The frame is the control's place in its parent widget.
    SearchableDropDown(const QRect& frame, CVClientData::CustomField& field, CVClientData::WebDataService& service,
                       bool userCanAddCodes, QWidget* parent = nullptr);

    // None also when the text was edited away from the chosen item.
    std::optional<CVClientData::CustomFieldValue> selectedCustomFieldValue() override;
    void setSelectedValue(const CVClientData::CustomFieldValue* value) override;
    std::optional<CVClientData::CustomFieldValue> searchForUserEnteredValue() override;

protected:
    QString rememberedItemText(const LastTenEntry& entry) const override;
    void mLoadValuesForParent(uint64_t parentValueId) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void mComplete(const QString& typed);

    bool mblnDeleting = false;  // the edit under way removes text: nothing to complete
};
