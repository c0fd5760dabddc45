#include "Client/Login/NetworkLogin.h"

#include "Client/Login/DialogLayout.h"
#include "Client/Login/KeyImage.h"
#include "Client/Login/PinCodeWindow.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using Platform::LocalizedStrings;

namespace {

constexpr int kKeySize = 64;

}  // namespace

// The title and the instructions are the PIN window's.
NetworkLogin::NetworkLogin(const QString& productName)
{
    setObjectName(QStringLiteral("_window"));
    setWindowTitle(PinCodeWindow::windowTitle(productName));
    setWindowModality(Qt::ApplicationModal);
    // A job waits for the answer: the window stays above the user's others.
    setWindowFlag(Qt::WindowStaysOnTopHint);

    Login::DialogLayout layout(*this, Login::KeyImage(kKeySize), QStringLiteral("_keyImage"));
    _keyImage = findChild<QLabel*>(QStringLiteral("_keyImage"));
    layout.addHeading(QStringLiteral("_instructionLabel"), PinCodeWindow::windowPrompt(productName));
    _usernameTextField = layout.addField(QStringLiteral("_usernameLabel"),
                                         LocalizedStrings::Text("Client_Network_Login_Username_Label"),
                                         QStringLiteral("_usernameTextField"), false)
                             .field;
    _passwordField = layout.addField(QStringLiteral("_passwordLabel"),
                                     LocalizedStrings::Text("Client_Network_Login_Password_Label"),
                                     QStringLiteral("_passwordField"), true)
                         .field;
    _domainTextField = layout.addField(QStringLiteral("_domainLabel"),
                                       LocalizedStrings::Text("Client_Network_Login_Domain_Label"),
                                       QStringLiteral("_domainTextField"), false)
                           .field;
    _authenticateButton = layout.addButton(QStringLiteral("authenticate"), LocalizedStrings::Text("OK_Button"),
                                           QDialogButtonBox::AcceptRole);
    _cancelButton = layout.addButton(QStringLiteral("cancel"), LocalizedStrings::Text("Cancel_Button"),
                                     QDialogButtonBox::RejectRole);
}
