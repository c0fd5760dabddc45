#include "Client/CustomFields/CustomFieldAdder.h"

#include "Core/CVModels/CustomField.h"
#include "Core/CVModels/CustomFieldValue.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"
#include "Platform/Qt/FontScale.h"
#include "Platform/Qt/Alert.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using Log = ComponentLog<LogComponents::ClientUserInterface>;
using Platform::LocalizedStrings;

namespace {

constexpr int kPanelWidth = 400;

QPushButton* MakeButton(QWidget* parent, const char* objectName, const char* key)
{
    auto* button = new QPushButton(LocalizedStrings::Text(QString::fromLatin1(key)), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

}  // namespace

CustomFieldAdder::CustomFieldAdder(const CVClientData::CustomField& field, CVClientData::WebDataService& service)
    : _webDataService(service), _fieldName(field.Name), _fieldId(field.Id)
{
}

CustomFieldAdder::~CustomFieldAdder()
{
    delete _addPanel.data();
}

void CustomFieldAdder::showAddPanel(QWidget* window, EndHandler didEndSheet, uint64_t parentValueId)
{
    _parentId = parentValueId;
    _addedCustomFieldValue.reset();
    mDidEndSheet = std::move(didEndSheet);
    if (_addPanel == nullptr)
        mLoadAddPanel(window);
    Log::Debug("CustomFieldAdder::showAddPanel - about to show dialog");
    _valueCode->setFocus();
    _addPanel->open();
}

// The sheet: its title, the code under the field's name, the description,
// and Cancel and Add.
void CustomFieldAdder::mLoadAddPanel(QWidget* window)
{
    const QString fieldName = QString::fromStdString(_fieldName);
    _addPanel = new QDialog(window);
    _addPanel->setObjectName(QStringLiteral("addPanel"));
    const QString title = LocalizedStrings::Format(QStringLiteral("Client_Add_Custom_Field_Add_New_Text"), fieldName);
    _addPanel->setWindowTitle(title);

    auto* heading = new QLabel(title, _addPanel);
    heading->setObjectName(QStringLiteral("title"));
    heading->setTextFormat(Qt::PlainText);
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    heading->setFont(headingFont);

    auto* fieldLabel = new QLabel(QStringLiteral("%1:").arg(fieldName), _addPanel);
    fieldLabel->setObjectName(QStringLiteral("fieldName"));
    fieldLabel->setTextFormat(Qt::PlainText);
    _valueCode = new QLineEdit(_addPanel);
    _valueCode->setObjectName(QStringLiteral("valueCode"));
    _valueDescription = new QLineEdit(_addPanel);
    _valueDescription->setObjectName(QStringLiteral("valueDescription"));
    auto* form = new QFormLayout;
    form->addRow(fieldLabel, _valueCode);
    form->addRow(LocalizedStrings::Text(QStringLiteral("Client_Add_Custom_Field_Description_Label")), _valueDescription);

    QPushButton* cancel = MakeButton(_addPanel, "cancelValueAddition", "Cancel_Button");
    QPushButton* add = MakeButton(_addPanel, "addValue", "Client_Add_Custom_Field_Add_Button");
    add->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(add);

    auto* layout = new QVBoxLayout(_addPanel);
    layout->addWidget(heading);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    _addPanel->setFixedWidth(Platform::FontScaledWithin(*_addPanel, kPanelWidth));

    connect(add, &QPushButton::clicked, this, &CustomFieldAdder::addValue);
    connect(cancel, &QPushButton::clicked, _addPanel, &QDialog::reject);
    // Cancel, Escape and closing the sheet all end it without a value.
    connect(_addPanel, &QDialog::rejected, this, &CustomFieldAdder::cancelValueAddition);
}

void CustomFieldAdder::addValue()
{
    _addedCustomFieldValue = std::make_unique<CVClientData::CustomFieldValue>();
    _addedCustomFieldValue->Code = _valueCode->text().toStdString();
    const QString description = _valueDescription->text();
    if (!description.isEmpty())
        _addedCustomFieldValue->Description = description.toStdString();
    _addedCustomFieldValue->FieldId = _fieldId;
    _addedCustomFieldValue->ParentValueId = _parentId;
    Log::Debug("CustomFieldAdder::addValue - attempting to add new value to database");
    std::string errorText;
    const bool answered = _webDataService.AddCustomFieldValue(*_addedCustomFieldValue, errorText);
    if (_addedCustomFieldValue->ValueId != 0) {
        Log::Debug("CustomFieldAdder::addValue - ending dialog (OK).");
        _addPanel->done(QDialog::Accepted);
        mEndSheet(1);
    } else {
        // 0: the server refused or did not answer; 1: it answered without an id.
        Log::Debug("CustomFieldAdder::addValue - add value authenticatedOperationType failed: %ld",
                   static_cast<long>(answered));
        Platform::Alert alert;
        alert.addButton(QString::fromLatin1(Platform::Alert::OkButton));
        alert.setMessageText(LocalizedStrings::Format(QStringLiteral("Client_Add_Custom_Field_Error_Unexpected_Message"),
                                                      QString::fromStdString(_fieldName)));
        alert.setInformativeText(
            LocalizedStrings::Text(QStringLiteral("Client_Add_Custom_Field_Error_Unexpected_Information_Message")));
        alert.runModal();
    }
    _addedCustomFieldValue.reset();
}

void CustomFieldAdder::cancelValueAddition()
{
    Log::Debug("CustomFieldAdder::addValue - ending dialog (Cancel).");
    mEndSheet(0);
}

// The handler may show the sheet again, which replaces it; so a copy runs.
void CustomFieldAdder::mEndSheet(int returnCode)
{
    EndHandler handler = mDidEndSheet;
    if (handler)
        handler(returnCode);
}
