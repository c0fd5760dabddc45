#include "Client/Login/PinCodeWindow.h"

#include "Client/Login/DialogLayout.h"
#include "Client/Login/KeyImage.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/WebServiceConnection/CVAuthenticationOption.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using Platform::LocalizedStrings;

namespace {

constexpr int kKeySize = 64;

QString Label(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

// In PIN mode the identifier's row and the reset button are hidden, and the
// secure field takes the PIN's label.
PinCodeWindow::PinCodeWindow(const CVClientData::ClientSettings& settings, const QString& productName)
{
    setObjectName(QStringLiteral("_window"));
    setWindowTitle(windowTitle(productName));
    setWindowModality(Qt::ApplicationModal);
    // A job waits for the answer: the window stays above the user's others.
    setWindowFlag(Qt::WindowStaysOnTopHint);

    Login::DialogLayout layout(*this, Login::KeyImage(kKeySize), QStringLiteral("_keyImage"));
    _keyImage = findChild<QLabel*>(QStringLiteral("_keyImage"));
    _instructionLabel = layout.addHeading(QStringLiteral("_instructionLabel"), windowPrompt(productName));
    auto unsecure = layout.addField(QStringLiteral("_unsecureLabel"), unsecurePrompt(settings),
                                    QStringLiteral("_unsecureField"), false);
    auto secure = layout.addField(QStringLiteral("_secureLabel"), securePrompt(settings),
                                  QStringLiteral("_secureField"), true);
    _unsecureLabel = unsecure.label;
    _unsecureField = unsecure.field;
    _secureLabel = secure.label;
    _secureField = secure.field;

    _authenticateButton = layout.addButton(QStringLiteral("authenticate"), LocalizedStrings::Text("OK_Button"),
                                           QDialogButtonBox::AcceptRole);
    _cancelButton = layout.addButton(QStringLiteral("cancel"), LocalizedStrings::Text("Cancel_Button"),
                                     QDialogButtonBox::RejectRole);
    _resetPasswordButton = layout.addButton(QStringLiteral("_resetPasswordButton"), resetPrompt(settings),
                                            QDialogButtonBox::ResetRole);

    if (!usesPassword(settings)) {
        _unsecureField->hide();
        _unsecureLabel->hide();
        _resetPasswordButton->hide();
    }
}

QString PinCodeWindow::windowTitle(const QString& productName)
{
    return LocalizedStrings::Format("Client_Authentication_Window_Title", productName);
}

QString PinCodeWindow::windowPrompt(const QString& productName)
{
    return LocalizedStrings::Format("Client_Authentication_Window_Instructions_Message", productName);
}

QString PinCodeWindow::unsecurePrompt(const CVClientData::ClientSettings& settings)
{
    return QStringLiteral("%1:").arg(Label(settings.PINLabel));
}

QString PinCodeWindow::securePrompt(const CVClientData::ClientSettings& settings)
{
    return QStringLiteral("%1:").arg(Label(usesPassword(settings) ? settings.PINPasswordLabel : settings.PINLabel));
}

QString PinCodeWindow::resetPrompt(const CVClientData::ClientSettings& settings)
{
    return LocalizedStrings::Format("Reset_Button", Label(settings.PINPasswordLabel));
}

bool PinCodeWindow::usesPassword(const CVClientData::ClientSettings& settings)
{
    return settings.AuthenticationType == CVAuthenticationPinAndPassword;
}
