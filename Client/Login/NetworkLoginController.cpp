#include "Client/Login/NetworkLoginController.h"

#include "Client/Login/InvalidCredentialsSheet.h"
#include "Client/Login/NetworkLogin.h"
#include "Client/Login/SecureText.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/User.h"
#include "Core/Services/UserService.h"
#include "Core/WebServiceConnection/CVAuthenticationOption.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

using Log = ComponentLog<LogComponents::ClientUserInterface>;

}  // namespace

NetworkLoginController::NetworkLoginController(CVClientData::User& user, CVClientData::ClientSettings& settings,
                                               CVClientData::WebDataService& webDataService)
    : LoginWindowController(user, settings, webDataService)
{
}

NetworkLoginController::~NetworkLoginController() = default;

void NetworkLoginController::mLoadWindow()
{
    _window = std::make_unique<NetworkLogin>(_productName);
    QObject::connect(_window->_authenticateButton, &QPushButton::clicked, _window.get(), [this] { authenticate(); });
    QObject::connect(_window->_cancelButton, &QPushButton::clicked, _window.get(), [this] { cancel(); });
    QObject::connect(_window.get(), &QDialog::finished, _window.get(), [this] { windowWillClose(); });
}

// The user as the server knows it fills the fields when there is one: the
// answer of the request does not matter, only whether the record then names
// a user.
bool NetworkLoginController::promptForLogin(CVCoreDataServices::AuthenticatedOperationType operation)
{
    if (!_window)
        mLoadWindow();
    Log::Debug("NetworkLoginWindowController::promptForLogin - about to show window.");
    _webDataService.GetUser(_user);
    const bool known = _user.Id != 0;
    _window->_usernameTextField->setText(known ? QString::fromStdString(_user.SAMAccountName) : QString());
    _window->_passwordField->clear();
    _window->_domainTextField->setText(known ? QString::fromStdString(_user.Domain) : QString());
    _window->_usernameTextField->setFocus();
    return mRunModal(*_window, operation);
}

void NetworkLoginController::windowWillClose()
{
    Log::Debug("PinCodeWindowController::windowWillClose - telling application to stop modal "
               "authenticatedOperationType");
    _window->_passwordField->clear();
}

void NetworkLoginController::cancel()
{
    Log::Debug("NetworkLoginWindowController::cancel - Closing window (Cancel).");
    _window->reject();
}

void NetworkLoginController::authenticate()
{
    Log::Debug("NetworkLoginWindowController::authenticate - about to authenticate user base on credentials");
    if (mValidate()) {
        mCloseValidated(*_window);
        return;
    }
    _window->_passwordField->clear();
    Login::ShowInvalidCredentialsSheet(*_window, _authenticatedOperationType);
    _window->_passwordField->setFocus();
}

// The domain may be empty; the user name and the password may not.
bool NetworkLoginController::mValidate()
{
    if (_clientSettings.AuthenticationType != CVAuthenticationNetworkLogin)
        return false;
    Login::SecureText password(*_window->_passwordField);
    std::string userName = _window->_usernameTextField->text().toStdString();
    std::string domain = _window->_domainTextField->text().toStdString();
    if (userName.empty() || password.Empty())
        return false;
    CVCoreDataServices::UserService users(_webDataService);
    return users.ValidateNetworkCredentials(_user, _clientSettings, userName, password.Text(), domain);
}
