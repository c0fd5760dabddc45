#include "Client/CustomFields/NonValidatedField.h"

#include "Core/CVModels/CustomField.h"

#include <QSignalBlocker>

#include <algorithm>

using CVClientData::CustomFieldValue;

NonValidatedField::NonValidatedField(const QRect& frame, CVClientData::CustomField& field,
                                     CVClientData::WebDataService& service, QWidget* parent)
    : CustomFieldComboBox(parent), CustomFieldControlBase(field, service), _lastTenValues(field, 0)
{
    setObjectName(QStringLiteral("NonValidatedField"));
    setGeometry(frame);
    _currentCustomFieldValue.FieldId = field.Id;
    makeEditable();
    mReloadItems();
    connect(this, &QComboBox::currentIndexChanged, this, &NonValidatedField::mSelectionDidChange);
}

NonValidatedField::~NonValidatedField()
{
    disconnectFrom(this);
}

std::optional<CustomFieldValue> NonValidatedField::selectedCustomFieldValue()
{
    const QString text = currentText();
    if (mIsHeaderOrFooter(currentIndex()) || text.isEmpty())
        return std::nullopt;
    _currentCustomFieldValue.Code = text.toStdString();
    _currentCustomFieldValue.ValueId = static_cast<uint64_t>(findValueIDForCode(text));
    return _currentCustomFieldValue;
}

void NonValidatedField::setSelectedValue(const CustomFieldValue* value)
{
    setCurrentIndex(-1);
    setEditText(value != nullptr ? QString::fromStdString(value->Code) : QString());
}

void NonValidatedField::jobWillBeSaved()
{
    if (mRememberSelectedValue(_lastTenValues))
        mReloadItems();
}

void NonValidatedField::setSelectedIndex(int index)
{
    if (index >= 0 && static_cast<size_t>(index) < _lastTenValues.size())
        setCurrentIndex(index + 1);
}

// The whole list is walked for the smallest id, so that a new code's id
// stays below every remembered one.
int64_t NonValidatedField::findValueIDForCode(const QString& code) const
{
    const std::string typed = code.toStdString();
    int64_t smallest = 0;
    const LastTenEntry* match = nullptr;
    for (const LastTenEntry& entry : _lastTenValues.values()) {
        smallest = std::min(smallest, entry.ValueId);
        if (match == nullptr && LastTenValues::SameCode(entry.Code, typed))
            match = &entry;
    }
    if (match != nullptr && match->ValueId != 0)
        return match->ValueId;
    return smallest - 1;
}

// The header and footer choose nothing and empty the box; every change is
// told.
void NonValidatedField::mSelectionDidChange(int item)
{
    if (mIsHeaderOrFooter(item)) {
        const QSignalBlocker blocker(this);
        clearSelection();
    }
    mTellDelegate(*this);
}

bool NonValidatedField::mIsHeaderOrFooter(int item) const
{
    const auto remembered = static_cast<int>(_lastTenValues.size());
    return remembered > 0 && (item == 0 || item == remembered + 1);
}

void NonValidatedField::mReloadItems()
{
    QStringList remembered;
    for (const LastTenEntry& entry : _lastTenValues.values())
        remembered.push_back(QString::fromStdString(entry.Code));
    replaceItems(remembered, QStringList());
}
