// The login and balance windows: the PIN window in its two modes with its
// password reset sheet, the network login and the balance window, as a
// user sees them half filled in.
#include "Client/Login/NetworkLogin.h"
#include "Client/Login/PinCodeWindow.h"
#include "Client/Login/ResetPasswordSheet.h"
#include "Client/Login/UserBalance.h"
#include "Client/Login/UserBalanceWindowController.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/User.h"
#include "tests/Screenshots/Screenshots.h"

#include <QLineEdit>

namespace {

const QString kProductName = QStringLiteral("Quorvel");

CVClientData::ClientSettings Settings(int authenticationType)
{
    CVClientData::ClientSettings settings;
    settings.AuthenticationType = authenticationType;
    settings.PINLabel = "PIN";
    settings.PINPasswordLabel = "Password";
    return settings;
}

std::unique_ptr<QWidget> PinWindow(int authenticationType)
{
    auto window = std::make_unique<PinCodeWindow>(Settings(authenticationType), kProductName);
    if (authenticationType == 3)
        window->_unsecureField->setText(QStringLiteral("4711"));
    window->_secureField->setText(QStringLiteral("secret"));
    return window;
}

const Screenshots::Registration pinWindow("login-pin", [] { return PinWindow(2); });
const Screenshots::Registration pinPasswordWindow("login-pin-password", [] { return PinWindow(3); });

const Screenshots::Registration resetSheet("login-reset-password", [] {
    auto sheet = std::make_unique<ResetPasswordSheet>(Settings(3), nullptr);
    sheet->_newPasswordField->setText(QStringLiteral("new secret"));
    return sheet;
});

const Screenshots::Registration networkLogin("login-network", [] {
    auto window = std::make_unique<NetworkLogin>(kProductName);
    window->_usernameTextField->setText(QStringLiteral("jdoe"));
    window->_passwordField->setText(QStringLiteral("secret"));
    window->_domainTextField->setText(QStringLiteral("CORP"));
    return window;
});

const Screenshots::Registration balance("user-balance", [] {
    CVClientData::User user;
    user.DisplayName = "Jane Doe";
    user.Type = CVClientData::User::BothPageBalances;
    user.BWBalanceRemaining = 240;
    user.ColorBalanceRemaining = 35;
    return std::make_unique<UserBalance>(kProductName, QString::fromStdString(user.DisplayName),
                                         UserBalanceWindowController::formatBalanceRemainingForUser(user));
});

}  // namespace
