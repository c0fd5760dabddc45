#include "Client/CustomFields/SearchableDropDown.h"

#include "Client/CustomFields/CustomFieldComboBox.h"
#include "Core/CVModels/CustomField.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <QKeyEvent>
#include <QLineEdit>

using Log = ComponentLog<LogComponents::ClientUserInterface>;
using CVClientData::CustomFieldValue;

SearchableDropDown::SearchableDropDown(const QRect& frame, CVClientData::CustomField& field,
                                       CVClientData::WebDataService& service, bool userCanAddCodes, QWidget* parent)
    : LastTenComboControl(frame, field, service, userCanAddCodes,
                          {"SearchableDropDown::addNewCode - creating window to add new code.",
                           "SearchableDropDown::didEndSheet - add new code window has closed."},
                          parent)
{
    setObjectName(QStringLiteral("SearchableDropDown"));
    mAddTrailingButton(_addButton);
    _comboBox->lineEdit()->installEventFilter(this);
    connect(_comboBox->lineEdit(), &QLineEdit::textEdited, this, &SearchableDropDown::mComplete);
    reloadItems();
}

std::optional<CustomFieldValue> SearchableDropDown::selectedCustomFieldValue()
{
    const int item = _comboBox->currentIndex();
    if (item >= 0 && _comboBox->currentText() != _comboBox->itemText(item))
        return std::nullopt;
    return LastTenComboControl::selectedCustomFieldValue();
}

// A value the field's list does not hold chooses nothing.
void SearchableDropDown::setSelectedValue(const CustomFieldValue* value)
{
    const int64_t index = value != nullptr && value->ValueId != 0 ? _customField.FindCustomFieldValueIndex(value->ValueId)
                                                                 : -1;
    if (index < 0)
        _comboBox->clearSelection();
    else
        mSelectItem(mValueItem(index));
}

std::optional<CustomFieldValue> SearchableDropDown::searchForUserEnteredValue()
{
    Log::Debug("SearchableDropDown::searchForUserEnteredValue - NULL");
    return std::nullopt;
}

QString SearchableDropDown::rememberedItemText(const LastTenEntry& entry) const
{
    std::optional<CustomFieldValue> value = _customField.FindCustomFieldValueById(static_cast<uint64_t>(entry.ValueId));
    return value ? QString::fromStdString(value->ConstructLongFormatString()) : QString();
}

void SearchableDropDown::mLoadValuesForParent(uint64_t parentValueId)
{
    _customField.LoadAllCustomFieldValues(_webDataService, parentValueId);
}

bool SearchableDropDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == _comboBox->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        mblnDeleting = key == Qt::Key_Backspace || key == Qt::Key_Delete;
    }
    return LastTenComboControl::eventFilter(watched, event);
}

// Typing chooses the first value whose "code - description" holds the typed
// text (letter case counts) and shows it, the part not yet typed selected so
// that typing on replaces it; without such a value the text stays as typed.
void SearchableDropDown::mComplete(const QString& typed)
{
    const bool deleting = mblnDeleting;
    mblnDeleting = false;
    if (deleting || typed.isEmpty())
        return;
    std::optional<CustomFieldValue> match = _customField.FindFirstMatchForPartialString(typed.toStdString());
    if (!match)
        return;
    setSelectedValue(&*match);
    QLineEdit* edit = _comboBox->lineEdit();
    const int length = static_cast<int>(edit->text().size());
    edit->setSelection(length, static_cast<int>(typed.size()) - length);
}
