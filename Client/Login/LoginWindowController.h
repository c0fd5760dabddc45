#pragma once

#include "Core/Services/IUIController.h"

#include <QString>

class QDialog;

namespace CVClientData {
class ClientSettings;
class User;
class WebDataService;
}  // namespace CVClientData

// What the PIN and network login windows share. A controller is made on the
// main thread for one prompt and borrows the user record to fill, the
// settings and the web service, which must outlive it. Its window is modal
// to the application; the answer is yes only when the server accepted what
// was typed (the user record then holds the server's user and its token).
class LoginWindowController {
public:
    LoginWindowController(const LoginWindowController&) = delete;
    LoginWindowController& operator=(const LoginWindowController&) = delete;

    CVClientData::User& getUser() { return _user; }

protected:
    LoginWindowController(CVClientData::User& user, CVClientData::ClientSettings& settings,
                          CVClientData::WebDataService& webDataService);
    ~LoginWindowController() = default;

    // Runs the window for the operation until it closes; true when the
    // user was validated.
    bool mRunModal(QDialog& window, CVCoreDataServices::AuthenticatedOperationType operation);
    // The user is validated: the answer is yes, and the window closes.
    void mCloseValidated(QDialog& window);

    CVClientData::User& _user;
    CVClientData::ClientSettings& _clientSettings;
    CVClientData::WebDataService& _webDataService;
    int _returnCode = 0;
    CVCoreDataServices::AuthenticatedOperationType _authenticatedOperationType =
        CVCoreDataServices::AuthenticatedOperationPrintJob;
    const QString _productName;
};
