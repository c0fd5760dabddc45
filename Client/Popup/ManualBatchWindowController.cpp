#include "Client/Popup/ManualBatchWindowController.h"

#include "Core/CVModels/User.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"
#include "Platform/Qt/FontScale.h"
#include "Platform/Qt/Alert.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

namespace {

constexpr auto kComponent = LogComponents::ClientUserInterface;
using Log = ComponentLog<kComponent>;

QString Text(const char* key)
{
    return Platform::LocalizedStrings::Text(QString::fromLatin1(key));
}

}  // namespace

ManualBatchWindowController::~ManualBatchWindowController()
{
    delete _batchSizeWindow.data();
}

void ManualBatchWindowController::showManualBatchSheet(QWidget* window, CVClientData::User* user)
{
    DebugScope scope(kComponent, "-[ManualBatchWindowController showManualBatchSheet:withUser:delegate:selector:]");
    mLoadSheet(window);
    awakeFromNib();
    int code = _batchSizeWindow->exec();
    mSheetDidEnd(code, user);
}

// The sheet: a short explanation, the number field, Cancel and OK.
void ManualBatchWindowController::mLoadSheet(QWidget* window)
{
    if (_batchSizeWindow != nullptr)
        return;
    auto* sheet = new QDialog(window, Qt::Sheet);
    sheet->setObjectName(QStringLiteral("_batchSizeWindow"));
    sheet->setWindowModality(Qt::WindowModal);
    sheet->setWindowTitle(Text("Client_Manual_Batch_Title"));

    auto* explanation = new QLabel(Text("Client_Manual_Batch_Instructions"), sheet);
    explanation->setWordWrap(true);
    _batchSizeField = new QLineEdit(sheet);
    _batchSizeField->setObjectName(QStringLiteral("_batchSizeField"));
    _batchSizeField->setValidator(
        new QIntValidator(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), _batchSizeField));
    _batchSizeField->setMaximumWidth(100);

    auto* buttons = new QDialogButtonBox(sheet);
    QPushButton* ok = buttons->addButton(Text("OK_Button"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("setManualBatchSize"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(Text("Cancel_Button"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelManualBatchSize"));
    QObject::connect(ok, &QPushButton::clicked, sheet, [this] { setManualBatchSize(); });
    QObject::connect(cancel, &QPushButton::clicked, sheet, [this] { cancelManualBatchSize(); });

    auto* form = new QFormLayout;
    form->addRow(Text("Client_Manual_Batch_Size_Label"), _batchSizeField);
    auto* layout = new QVBoxLayout(sheet);
    layout->addWidget(explanation);
    layout->addLayout(form);
    layout->addWidget(buttons);
    sheet->setFixedWidth(Platform::FontScaledWithin(*sheet, 320));
    _batchSizeWindow = sheet;
}

void ManualBatchWindowController::awakeFromNib()
{
    DebugScope scope(kComponent, "-[ManualBatchWindowController awakeFromNib]");
    _batchSizeField->setText(QLocale().toString(_manualBatchSize));
    _batchSizeField->selectAll();
    _batchSizeField->setFocus();
}

// The field's whole number; a text that is not one counts as 0.
void ManualBatchWindowController::setManualBatchSize()
{
    DebugScope scope(kComponent, "-[ManualBatchWindowController setManualBatchSize:]");
    bool ok = false;
    int value = QLocale().toInt(_batchSizeField->text().trimmed(), &ok);
    _manualBatchSize = ok ? value : 0;
    _batchSizeWindow->done(1);
}

void ManualBatchWindowController::cancelManualBatchSize()
{
    DebugScope scope(kComponent, "-[ManualBatchWindowController cancelManualBatchSize:]");
    _batchSizeWindow->done(0);
}

// A size is accepted when it is at most the user's "MaxBatchSize"; compared
// without sign, a negative size counts as too large.
void ManualBatchWindowController::mSheetDidEnd(int code, CVClientData::User* user)
{
    _batchEnabled = false;
    if (code != 1 || user == nullptr)
        return;
    const auto size = static_cast<uint64_t>(static_cast<int64_t>(_manualBatchSize));
    if (size <= user->MaxBatchSize) {
        Log::Debug("Batch size OK, update users batch size value and turn on batch mode.");
        user->MaxBatchSize = size;
        _batchEnabled = true;
        return;
    }
    Platform::Alert alert;
    alert.addButton(QString::fromLatin1(Platform::Alert::OkButton));
    alert.setMessageText(Text("Client_Manual_Batch_Error_Value_Exceeded_Message"));
    alert.setInformativeText(Platform::LocalizedStrings::Format(
        QStringLiteral("Client_Manual_Batch_Error_Value_Exceeded_Instructions_Message"),
        QLocale().toString(static_cast<qulonglong>(user->MaxBatchSize))));
    alert.runModal();
}
