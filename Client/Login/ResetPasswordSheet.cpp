#include "Client/Login/ResetPasswordSheet.h"

#include "Client/Login/DialogLayout.h"
#include "Client/Login/KeyImage.h"
#include "Core/CVModels/ClientSettings.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QLineEdit>
#include <QPushButton>

using Platform::LocalizedStrings;

namespace {

constexpr int kKeySize = 48;

}  // namespace

ResetPasswordSheet::ResetPasswordSheet(const CVClientData::ClientSettings& settings, QWidget* loginWindow)
    : QDialog(loginWindow)
{
    const QString password = QString::fromStdString(settings.PINPasswordLabel);
    setObjectName(QStringLiteral("_resetPasswordSheet"));
    setWindowTitle(LocalizedStrings::Format("Reset_Button", password));
    setWindowModality(Qt::WindowModal);

    Login::DialogLayout layout(*this, Login::KeyImage(kKeySize), QStringLiteral("_resetKeyImage"));
    layout.addHeading(QStringLiteral("_resetInstructionLabel"),
                      LocalizedStrings::Format("Client_Password_Reset_Window_Instructions", password,
                                               QString::fromStdString(settings.PINLabel)));
    _newPasswordField = layout.addField(QStringLiteral("_newPasswordLabel"),
                                        LocalizedStrings::Format("Client_Password_New_Label", password),
                                        QStringLiteral("_newPasswordField"), true)
                            .field;
    _confirmPasswordField = layout.addField(QStringLiteral("_confirmPasswordLabel"),
                                            LocalizedStrings::Format("Client_Password_Confirm_Label", password),
                                            QStringLiteral("_confirmPasswordField"), true)
                                .field;
    _resetButton = layout.addButton(QStringLiteral("resetPassword"),
                                    LocalizedStrings::Format("Client_Password_Reset_Confirm_Button", password),
                                    QDialogButtonBox::AcceptRole);
    _cancelResetButton = layout.addButton(QStringLiteral("_cancelResetButton"), LocalizedStrings::Text("Cancel_Button"),
                                          QDialogButtonBox::RejectRole);
}
