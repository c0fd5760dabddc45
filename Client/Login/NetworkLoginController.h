#pragma once

#include "Client/Login/LoginWindowController.h"

#include <memory>

class NetworkLogin;

// Asks for a network user name, password and domain and validates them with
// the server.
//
// The fields start with the server's user when one is known (password
// empty). Only the settings' authentication type 5 validates; with any
// other type, empty user name or password, or refused credentials, an alert
// is shown and the window stays open, so that with type 4 it can only be
// cancelled. The answer is yes once the server accepted the credentials.
// The password field is emptied once what it held has been sent, and when the
// window closes.
class NetworkLoginController : public LoginWindowController {
public:
    NetworkLoginController(CVClientData::User& user, CVClientData::ClientSettings& settings,
                           CVClientData::WebDataService& webDataService);
    ~NetworkLoginController();

    // Shows the window for the operation (a print job or the balance check)
    // and waits until it has closed; true when the user was validated.
    bool promptForLogin(CVCoreDataServices::AuthenticatedOperationType operation);

    // The actions of the window's buttons.
    void authenticate();
    void cancel();

private:
    void mLoadWindow();
    void windowWillClose();
    // Validates the typed credentials when the settings' type allows it.
    bool mValidate();

    std::unique_ptr<NetworkLogin> _window;
};
