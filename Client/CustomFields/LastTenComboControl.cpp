#include "Client/CustomFields/LastTenComboControl.h"

#include "Client/CustomFields/ButtonImages.h"
#include "Client/CustomFields/CustomFieldComboBox.h"
#include "Core/CVModels/CustomField.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

using Log = ComponentLog<LogComponents::ClientUserInterface>;
using CVClientData::CustomFieldValue;

namespace {

constexpr int kButtonGap = 6;
constexpr int kButtonSize = 25;

}  // namespace

LastTenComboControl::LastTenComboControl(const QRect& frame, CVClientData::CustomField& field,
                                         CVClientData::WebDataService& service, bool userCanAddCodes,
                                         AddCodeLines addCodeLines, QWidget* parent)
    : QWidget(parent),
      CustomFieldControlBase(field, service),
      _lastTenValues(field, 0),
      _customFieldAdder(field, service),
      mAddCodeLines(addCodeLines)
{
    setGeometry(frame);
    if (!_lastTenValues.empty()) {
        _lastTenValues.removeValuesNotInField(_customField, _webDataService);
        _lastTenValues.saveToUserPrefs();
    }
    _comboBox = new CustomFieldComboBox(this);
    _comboBox->makeEditable();
    connect(_comboBox, &QComboBox::currentIndexChanged, this, &LastTenComboControl::mComboBoxSelectionDidChange);
    if (userCanAddCodes) {
        _addButton = MakeImageButton(this, "_addButton", "add", "Client_Custom_Field_Add_Button");
        connect(_addButton, &QPushButton::clicked, this, &LastTenComboControl::addNewCode);
    }
}

// The widgets go before this object: nothing they still send may reach it,
// and the parent control must not keep telling it.
LastTenComboControl::~LastTenComboControl()
{
    _comboBox->disconnectFrom(this);
    for (QPushButton* button : mvecTrailingButtons)
        button->disconnect(this);
    CustomFieldControl* parent = parentControl();
    if (parent != nullptr && parent->delegate() == this)
        parent->setDelegate(nullptr);
}

std::optional<CustomFieldValue> LastTenComboControl::selectedCustomFieldValue()
{
    const int item = _comboBox->currentIndex();
    switch (mKindOf(item)) {
    case ItemKind::Value: return mValueAt(mRememberedCount() == 0 ? item : item - mRememberedCount() - 2);
    case ItemKind::Remembered: break;
    default: return std::nullopt;
    }
    const LastTenEntry entry = _lastTenValues.values().at(static_cast<size_t>(item - 1));
    if (auto value = _customField.FindCustomFieldValueById(static_cast<uint64_t>(entry.ValueId)))
        return value;
    _lastTenValues.removeValueAtIndex(static_cast<size_t>(item - 1));
    _lastTenValues.saveToUserPrefs();
    {
        const QSignalBlocker blocker(_comboBox);
        _comboBox->clearSelection();
    }
    reloadItems();
    mTellValueGone();
    return std::nullopt;
}

void LastTenComboControl::setSelectedIndex(int index)
{
    if (index >= 0 && index < mRememberedCount())
        mSelectItem(index + 1);
}

void LastTenComboControl::jobWillBeSaved()
{
    if (mRememberSelectedValue(_lastTenValues))
        reloadItems();
}

CustomFieldControl* LastTenComboControl::parentControl() const
{
    return mParentWidget != nullptr ? _parentCustomFieldControl : nullptr;
}

void LastTenComboControl::setParentControl(CustomFieldControl* parent)
{
    _parentCustomFieldControl = parent;
    mParentWidget = parent != nullptr ? &parent->widget() : nullptr;
    if (parent == nullptr)
        return;
    parent->setDelegate(this);
    mSetInputsEnabled(false);
}

void LastTenComboControl::customFieldControlSelectionChanged(CustomFieldControl& parent)
{
    _customField.ClearCurrentValueList();
    setSelectedValue(nullptr);
    CustomFieldControl& asked = parentControl() != nullptr ? *parentControl() : parent;
    if (std::optional<CustomFieldValue> parentValue = asked.selectedCustomFieldValue()) {
        _lastTenValues.loadFromUserPrefs(_customField, parentValue->ValueId);
        mSetInputsEnabled(true);
        mLoadValuesForParent(parentValue->ValueId);
    } else {
        mSetInputsEnabled(false);
    }
    reloadItems();
    mTellDelegate(parent);
}

void LastTenComboControl::addNewCode()
{
    Log::Debug(mAddCodeLines.opening);
    _customFieldAdder.showAddPanel(window(), [this](int returnCode) { mDidEndSheet(returnCode); }, mParentValueId());
}

// The sheet is already off the screen; the value it added is copied before
// the adder forgets it.
void LastTenComboControl::mDidEndSheet(int returnCode)
{
    Log::Debug(mAddCodeLines.closed);
    const CustomFieldValue* added = _customFieldAdder.addedCustomFieldValue();
    if (returnCode != 1 || added == nullptr)
        return;
    const CustomFieldValue value = *added;
    if (_customField.FindCustomFieldValueIndex(value.ValueId) < 0) {
        _customField.AddCustomFieldValue(value);
        reloadItems();
    }
    setSelectedValue(&value);
}

void LastTenComboControl::reloadItems()
{
    QStringList remembered;
    for (const LastTenEntry& entry : _lastTenValues.values())
        remembered.push_back(rememberedItemText(entry));
    QStringList values;
    for (const CustomFieldValue& value : _customField.GetCurrentValuesList())
        values.push_back(QString::fromStdString(value.ConstructLongFormatString()));
    _comboBox->replaceItems(remembered, values);
    if (mblnShowRememberedRowsOnly && !remembered.isEmpty())
        _comboBox->setMaxVisibleItems(static_cast<int>(remembered.size()) + 2);
}

void LastTenComboControl::mAddTrailingButton(QPushButton* button)
{
    if (button == nullptr)
        return;
    mvecTrailingButtons.push_back(button);
    mLayOut();
}

int LastTenComboControl::mValueItem(int64_t valueIndex) const
{
    const int remembered = mRememberedCount();
    return static_cast<int>(valueIndex) + (remembered > 0 ? remembered + 2 : 0);
}

LastTenComboControl::ItemKind LastTenComboControl::mKindOf(int item) const
{
    const int remembered = mRememberedCount();
    if (item < 0 || item >= _comboBox->count())
        return ItemKind::None;
    if (remembered == 0 || item > remembered + 1)
        return ItemKind::Value;
    if (item == 0)
        return ItemKind::Header;
    return item == remembered + 1 ? ItemKind::Footer : ItemKind::Remembered;
}

// The chosen value shows from its start, so that its code is in view
// however long its description.
void LastTenComboControl::mSelectItem(int item)
{
    _comboBox->setCurrentIndex(item);
    if (QLineEdit* shown = _comboBox->lineEdit())
        shown->setCursorPosition(0);
}

uint64_t LastTenComboControl::mParentValueId() const
{
    CustomFieldControl* parent = parentControl();
    if (parent == nullptr)
        return 0;
    std::optional<CustomFieldValue> value = parent->selectedCustomFieldValue();
    return value ? value->ValueId : 0;
}

void LastTenComboControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    mLayOut();
}

// With remembered values, the header and footer choose nothing, and the
// item the list opened on is no change; without them every change counts.
void LastTenComboControl::mComboBoxSelectionDidChange(int item)
{
    if (mRememberedCount() == 0) {
        mTellDelegate(*this);
        return;
    }
    const ItemKind kind = mKindOf(item);
    if (kind == ItemKind::Header || kind == ItemKind::Footer) {
        _comboBox->clearSelection();
        return;
    }
    if (item < 0 || item == _comboBox->popUpSelection())
        return;
    mTellDelegate(*this);
}

void LastTenComboControl::mSetInputsEnabled(bool enabled)
{
    _comboBox->setEnabled(enabled);
    for (QPushButton* button : mvecTrailingButtons)
        button->setEnabled(enabled);
}

// The combo box fills the height and what the buttons leave of the width;
// each button sits 6 right of the widget before it. The buttons are square,
// as high as the control (which a larger font makes higher).
void LastTenComboControl::mLayOut()
{
    const int buttons = static_cast<int>(mvecTrailingButtons.size());
    const int buttonSize = std::max(kButtonSize, height());
    const int comboWidth = width() - buttons * (kButtonGap + buttonSize);
    _comboBox->setGeometry(0, 0, comboWidth, height());
    for (int i = 0; i < buttons; ++i) {
        QPushButton* button = mvecTrailingButtons[static_cast<size_t>(i)];
        button->setFixedSize(buttonSize, buttonSize);
        button->move(comboWidth + kButtonGap + i * (kButtonGap + buttonSize), 0);
    }
}

std::optional<CustomFieldValue> LastTenComboControl::mValueAt(int64_t index) const
{
    const std::vector<CustomFieldValue>& values = _customField.GetCurrentValuesList();
    if (index < 0 || static_cast<size_t>(index) >= values.size())
        return std::nullopt;
    return values[static_cast<size_t>(index)];
}
