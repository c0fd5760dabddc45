#include "Client/Login/PinCodeWindowController.h"

#include "Client/Login/InvalidCredentialsSheet.h"
#include "Client/Login/PinCodeWindow.h"
#include "Client/Login/ResetPasswordSheet.h"
#include "Client/Login/SecureText.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/User.h"
#include "Core/Services/UserService.h"
#include "CoreLogger/ComponentLog.h"
#include "Platform/Qt/Alert.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QLineEdit>
#include <QPushButton>

using Platform::LocalizedStrings;

namespace {

using Log = ComponentLog<LogComponents::ClientUserInterface>;

QString Label(const std::string& text)
{
    return QString::fromStdString(text);
}

// An alert about the new password, over the reset sheet and modal to the
// whole application; the sheet stays.
void ShowResetAlert(QWidget& sheet, const QString& message, const QString& information)
{
    Platform::Alert alert(&sheet);
    alert.box().setWindowModality(Qt::ApplicationModal);
    alert.addButton(QString::fromLatin1(Platform::Alert::OkButton));
    alert.setMessageText(message);
    alert.setInformativeText(information);
    alert.runModal();
}

}  // namespace

PinCodeWindowController::PinCodeWindowController(CVClientData::User& user, CVClientData::ClientSettings& settings,
                                                 CVClientData::WebDataService& webDataService)
    : LoginWindowController(user, settings, webDataService)
{
}

PinCodeWindowController::~PinCodeWindowController() = default;

void PinCodeWindowController::mLoadWindow()
{
    _window = std::make_unique<PinCodeWindow>(_clientSettings, _productName);
    _resetPasswordSheet = new ResetPasswordSheet(_clientSettings, _window.get());
    QObject::connect(_window->_authenticateButton, &QPushButton::clicked, _window.get(), [this] { authenticate(); });
    QObject::connect(_window->_cancelButton, &QPushButton::clicked, _window.get(), [this] { cancel(); });
    QObject::connect(_window->_resetPasswordButton, &QPushButton::clicked, _window.get(),
                     [this] { showResetPasswordWindow(); });
    QObject::connect(_window.get(), &QDialog::finished, _window.get(), [this] { windowWillClose(); });
    QObject::connect(_resetPasswordSheet->_resetButton, &QPushButton::clicked, _resetPasswordSheet,
                     [this] { resetPassword(); });
    QObject::connect(_resetPasswordSheet->_cancelResetButton, &QPushButton::clicked, _resetPasswordSheet,
                     [this] { cancelReset(); });
    QObject::connect(_resetPasswordSheet, &QDialog::finished, _resetPasswordSheet,
                     [this](int returnCode) { resetPasswordSheetEnded(returnCode); });
}

// The fields start empty on every prompt; the first one to type into has
// the focus: the identifier in the two-field mode, else the PIN.
bool PinCodeWindowController::promptForPinCode(CVCoreDataServices::AuthenticatedOperationType operation)
{
    if (!_window)
        mLoadWindow();
    Log::Debug("PinCodeWindowController::promptForPinCode - about to show PIN code window.");
    _window->_secureField->clear();
    _window->_unsecureField->clear();
    if (PinCodeWindow::usesPassword(_clientSettings))
        _window->_unsecureField->setFocus();
    else
        _window->_secureField->setFocus();
    return mRunModal(*_window, operation);
}

void PinCodeWindowController::windowWillClose()
{
    Log::Debug("PinCodeWindowController::windowWillClose - telling _application to stop modal "
               "_authenticatedOperationType");
    _window->_secureField->clear();
    _resetPasswordSheet->_newPasswordField->clear();
    _resetPasswordSheet->_confirmPasswordField->clear();
}

void PinCodeWindowController::cancel()
{
    Log::Debug("PinCodeWindowController::cancel - Closing window (Cancel).");
    _window->reject();
}

// PIN mode: the PIN is the secure field and the password empty. Two-field
// mode: the identifier and the password. An empty PIN is refused without
// asking the server.
void PinCodeWindowController::authenticate()
{
    Log::Debug("PinCodeWindowController::authenticate - about to authenticate user based on PIN Code");
    const bool twoFields = PinCodeWindow::usesPassword(_clientSettings);
    Login::SecureText pin(twoFields ? *_window->_unsecureField : *_window->_secureField);
    Login::SecureText password = twoFields ? Login::SecureText(*_window->_secureField) : Login::SecureText();
    bool validated = false;
    if (!pin.Empty()) {
        CVCoreDataServices::UserService users(_webDataService);
        bool unused = false;
        validated = users.ValidatePinCode(_user, _clientSettings, pin.Text(), &password.Text(), unused);
    }
    if (validated) {
        Log::Debug("PinCodeWindowController::authenticate - Closing window (OK).");
        mCloseValidated(*_window);
    } else {
        mRefused();
    }
}

// The user tries again where the typing is missing: the identifier when it
// is empty in the two-field mode, else the secure field, emptied.
void PinCodeWindowController::mRefused()
{
    _window->_secureField->clear();
    Login::ShowInvalidCredentialsSheet(*_window, _authenticatedOperationType);
    if (PinCodeWindow::usesPassword(_clientSettings) && _window->_unsecureField->text().isEmpty())
        _window->_unsecureField->setFocus();
    else
        _window->_secureField->setFocus();
}

void PinCodeWindowController::showResetPasswordWindow()
{
    _resetPasswordSheet->_newPasswordField->clear();
    _resetPasswordSheet->_confirmPasswordField->clear();
    _resetPasswordSheet->_newPasswordField->setFocus();
    _resetPasswordSheet->open();
}

void PinCodeWindowController::cancelReset()
{
    _resetPasswordSheet->done(0);
}

// The new password, typed twice alike, is set with the identifier and the
// current password of the login window. Two different texts never reach
// the server.
void PinCodeWindowController::resetPassword()
{
    const QString pinLabel = Label(_clientSettings.PINLabel);
    const QString passwordLabel = Label(_clientSettings.PINPasswordLabel);
    Login::SecureText newPassword(*_resetPasswordSheet->_newPasswordField);
    Login::SecureText confirmation(*_resetPasswordSheet->_confirmPasswordField);
    if (newPassword.Text() != confirmation.Text()) {
        _resetPasswordSheet->_newPasswordField->clear();
        _resetPasswordSheet->_confirmPasswordField->clear();
        ShowResetAlert(*_resetPasswordSheet,
                       LocalizedStrings::Format("Client_Password_New_Error_Mismatch_Title", passwordLabel),
                       LocalizedStrings::Format("Client_Password_Reset_Error_Message", passwordLabel));
        _resetPasswordSheet->_newPasswordField->setFocus();
        return;
    }
    Login::SecureText pin(*_window->_unsecureField);
    Login::SecureText currentPassword(*_window->_secureField);
    CVCoreDataServices::UserService users(_webDataService);
    if (users.ResetPinPassword(_user, pin.Text(), currentPassword.Text(), confirmation.Text())) {
        _resetPasswordSheet->done(1);
        return;
    }
    // The message serves the mismatch too, where it is given only the
    // password's label, so its text takes one argument: here the PIN's label.
    ShowResetAlert(
        *_resetPasswordSheet,
        LocalizedStrings::Format("Client_Password_Reset_Error_Title", passwordLabel, pinLabel, passwordLabel),
        LocalizedStrings::Format("Client_Password_Reset_Error_Message", pinLabel));
}

// After the new password was set the user is logged in with it; only a
// login the server accepts answers yes. A refused one shows the alert and
// leaves the login window open, as any refused login does.
void PinCodeWindowController::resetPasswordSheetEnded(int returnCode)
{
    if (returnCode != 1) {
        _resetPasswordSheet->_newPasswordField->clear();
        _resetPasswordSheet->_confirmPasswordField->clear();
        return;
    }
    Login::SecureText pin(*_window->_unsecureField);
    Login::SecureText newPassword(*_resetPasswordSheet->_confirmPasswordField);
    _resetPasswordSheet->_newPasswordField->clear();
    _resetPasswordSheet->_confirmPasswordField->clear();
    CVCoreDataServices::UserService users(_webDataService);
    bool unused = false;
    if (users.ValidatePinCode(_user, _clientSettings, pin.Text(), &newPassword.Text(), unused))
        mCloseValidated(*_window);
    else
        mRefused();
}
