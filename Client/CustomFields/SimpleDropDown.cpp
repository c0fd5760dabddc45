#include "Client/CustomFields/SimpleDropDown.h"

#include "Core/CVModels/CustomField.h"

using CVClientData::CustomFieldValue;

SimpleDropDown::SimpleDropDown(const QRect& frame, CVClientData::CustomField& field,
                               CVClientData::WebDataService& service, QWidget* parent)
    : CustomFieldComboBox(parent), CustomFieldControlBase(field, service), _lastValueUsed(field, 0)
{
    setObjectName(QStringLiteral("SimpleDropDown"));
    setGeometry(frame);
    QStringList items;
    for (const CustomFieldValue& value : _customField.GetCurrentValuesList())
        items.push_back(QString::fromStdString(value.ConstructShortFormatString()));
    replaceItems(QStringList(), items);
    setCurrentIndex(-1);
    connect(this, &QComboBox::currentIndexChanged, this, [this] { mTellDelegate(*this); });
}

SimpleDropDown::~SimpleDropDown()
{
    disconnectFrom(this);
}

std::optional<CustomFieldValue> SimpleDropDown::selectedCustomFieldValue()
{
    const int item = currentIndex();
    const std::vector<CustomFieldValue>& values = _customField.GetCurrentValuesList();
    if (item < 0 || static_cast<size_t>(item) >= values.size())
        return std::nullopt;
    return values[static_cast<size_t>(item)];
}

void SimpleDropDown::setSelectedValue(const CustomFieldValue* value)
{
    if (value == nullptr || value->ValueId == 0) {
        clearSelection();
        return;
    }
    const int64_t index = _customField.FindCustomFieldValueIndex(value->ValueId);
    if (index < 0)
        clearSelection();
    else
        setCurrentIndex(static_cast<int>(index));
}

void SimpleDropDown::useLastEntry()
{
    const int64_t remembered = _lastValueUsed.getLastEntryValue();
    if (remembered == 0)
        return;
    const int64_t index = _customField.FindCustomFieldValueIndex(static_cast<uint64_t>(remembered));
    if (index >= 0)
        setCurrentIndex(static_cast<int>(index));
}

void SimpleDropDown::jobWillBeSaved()
{
    mRememberSelectedValue(_lastValueUsed);
}
