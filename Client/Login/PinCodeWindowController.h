#pragma once

#include "Client/Login/LoginWindowController.h"

#include <memory>

class PinCodeWindow;
class ResetPasswordSheet;

// Asks for a PIN, or for an identifier and its password, and validates it
// with the server; in the two-field mode it also lets the user choose a new
// password.
//
// The window stays open until the server accepted what was typed (yes) or
// the user gave up (no). Refused or empty credentials show an alert and
// leave the window open for another try. Secure fields are emptied once
// what they held has been sent, and when the window closes.
class PinCodeWindowController : public LoginWindowController {
public:
    PinCodeWindowController(CVClientData::User& user, CVClientData::ClientSettings& settings,
                            CVClientData::WebDataService& webDataService);
    ~PinCodeWindowController();

    // Shows the window for the operation (a print job or the balance check)
    // and waits until it has closed; true when the user was validated.
    bool promptForPinCode(CVCoreDataServices::AuthenticatedOperationType operation);

    // The actions of the window's buttons.
    void authenticate();
    void cancel();
    void showResetPasswordWindow();
    void resetPassword();
    void cancelReset();

private:
    // Makes the window and its sheet once, and ties the buttons to the actions.
    void mLoadWindow();
    // The reset sheet has ended: with 1 (the new password was set) the user
    // is logged in with it.
    void resetPasswordSheetEnded(int returnCode);
    void windowWillClose();
    // The login was refused: the secure field is emptied and the alert shown.
    void mRefused();

    std::unique_ptr<PinCodeWindow> _window;
    ResetPasswordSheet* _resetPasswordSheet = nullptr;  // a child of _window
};
