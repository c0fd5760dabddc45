#pragma once

#include <QString>

#include <memory>

class UserBalance;

namespace CVClientData {
class User;
}

// Shows what remains of a user's allowance, in a window modal to the
// application. Made on the main thread for one showing; it keeps the user's
// name and the balance text, not the user record.
class UserBalanceWindowController {
public:
    explicit UserBalanceWindowController(const CVClientData::User& user);
    ~UserBalanceWindowController();
    UserBalanceWindowController(const UserBalanceWindowController&) = delete;
    UserBalanceWindowController& operator=(const UserBalanceWindowController&) = delete;

    // Shows the window and returns when it has been closed.
    void showWindow();
    // The action of the window's button.
    void closeWindow();

    // The balance text of the user's allowance type: money or pages (black
    // and white, colour or both) in the user's number format; empty for a
    // user without a balance or of a type this client does not know.
    static QString formatBalanceRemainingForUser(const CVClientData::User& user);

    const QString& username() const { return mstrUsername; }
    const QString& balance() const { return mstrBalance; }

private:
    void windowWillClose();

    const QString mstrUsername;
    const QString mstrBalance;
    std::unique_ptr<UserBalance> panel;
};
