#include "Client/CustomFields/OptionField.h"

#include "Core/CVModels/CustomField.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

using CVClientData::CustomFieldValue;

OptionField::OptionField(const QRect& frame, CVClientData::CustomField& field, CVClientData::WebDataService& service,
                         QWidget* parent)
    : QWidget(parent), CustomFieldControlBase(field, service), _lastEntryUsed(field, 0)
{
    setObjectName(QStringLiteral("OptionField"));
    setGeometry(frame);
    mGroup = new QButtonGroup(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const std::vector<CustomFieldValue>& values = _customField.GetCurrentValuesList();
    for (size_t row = 0; row < Rows; ++row) {
        auto* button = new QRadioButton(this);
        button->setObjectName(QStringLiteral("optionRow%1").arg(row));
        if (row < values.size()) {
            button->setText(QString::fromStdString(values[row].ConstructShortFormatString()));
            mvecTags[row] = values[row].ValueId;
        } else {
            button->hide();
        }
        mGroup->addButton(button, static_cast<int>(row));
        layout->addWidget(button, 1);
        mvecRows[row] = button;
    }
    connect(mGroup, &QButtonGroup::buttonClicked, this, &OptionField::selectedValueChanged);
}

OptionField::~OptionField()
{
    mGroup->disconnect(this);
}

std::optional<CustomFieldValue> OptionField::selectedCustomFieldValue()
{
    if (_lastValueId == 0)
        return std::nullopt;
    return _customField.FindCustomFieldValueById(_lastValueId);
}

void OptionField::setSelectedValue(const CustomFieldValue* value)
{
    if (value != nullptr && value->ValueId != 0) {
        const auto row = std::find(mvecTags.begin(), mvecTags.end(), value->ValueId);
        const bool offered = row != mvecTags.end();
        _lastValueId = offered ? value->ValueId : 0;
        mCheckRow(offered ? static_cast<int>(row - mvecTags.begin()) : -1);
    } else {
        _lastValueId = mvecTags[0];
        mCheckRow(_lastValueId != 0 ? 0 : -1);
    }
    mTellDelegate(*this);
}

void OptionField::useLastEntry()
{
    std::optional<CustomFieldValue> remembered =
        _customField.FindCustomFieldValueById(static_cast<uint64_t>(_lastEntryUsed.getLastEntryValue()));
    setSelectedValue(remembered ? &*remembered : nullptr);
}

void OptionField::jobWillBeSaved()
{
    mRememberSelectedValue(_lastEntryUsed);
}

void OptionField::selectedValueChanged()
{
    const int row = mGroup->checkedId();
    if (row < 0) {
        _lastValueId = 0;
        return;
    }
    _lastValueId = mvecTags[static_cast<size_t>(row)];
    mTellDelegate(*this);
}

// An exclusive group cannot uncheck its last button, so it stops being
// exclusive for a moment.
void OptionField::mCheckRow(int row)
{
    if (row >= 0) {
        mvecRows[static_cast<size_t>(row)]->setChecked(true);
        return;
    }
    mGroup->setExclusive(false);
    for (QRadioButton* button : mvecRows)
        button->setChecked(false);
    mGroup->setExclusive(true);
}
