#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QLineEdit;
class QWidget;

namespace CVClientData {
class CustomField;
class CustomFieldValue;
class WebDataService;
}  // namespace CVClientData

// The sheet in which a user allowed to add codes creates a new value of a
// field on the server: a code and an optional description under the parent
// value given. The sheet is made on first use and kept, with what was typed
// in it, for the next showing.
//
// OK sends the value to the server. When the server stores it (its answer
// carries the new value's id) the sheet closes and the end handler runs at
// once with 1, while addedCustomFieldValue is the stored value; otherwise an
// alert tells the user and the sheet stays for another try. Cancel, Escape
// or closing the sheet end it with 0.
class CustomFieldAdder : public QObject {
    Q_OBJECT
public:
    // The handler that runs when the sheet ends, with 1 (added) or 0.
    using EndHandler = std::function<void(int returnCode)>;

    // The field's name and id are taken now; the service must outlive the adder.
    CustomFieldAdder(const CVClientData::CustomField& field, CVClientData::WebDataService& service);
    ~CustomFieldAdder() override;
    CustomFieldAdder(const CustomFieldAdder&) = delete;
    CustomFieldAdder& operator=(const CustomFieldAdder&) = delete;

    // Shows the sheet on the window, for a value under the parent value.
    void showAddPanel(QWidget* window, EndHandler didEndSheet, uint64_t parentValueId);

    // The value just added; set only while the end handler runs with 1.
    const CVClientData::CustomFieldValue* addedCustomFieldValue() const { return _addedCustomFieldValue.get(); }

    // The sheet, once it was shown; none before.
    QDialog* addPanel() const { return _addPanel; }

private:
    void mLoadAddPanel(QWidget* window);
    void addValue();
    void cancelValueAddition();
    void mEndSheet(int returnCode);

    CVClientData::WebDataService& _webDataService;
    std::string _fieldName;
    uint64_t _fieldId = 0;
    uint64_t _parentId = 0;
    std::unique_ptr<CVClientData::CustomFieldValue> _addedCustomFieldValue;
    EndHandler mDidEndSheet;
    QPointer<QDialog> _addPanel;
    QLineEdit* _valueCode = nullptr;
    QLineEdit* _valueDescription = nullptr;
};
