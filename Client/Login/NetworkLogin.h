#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// The layout of the network login window, with its outlets under their own
// names as object names: a key, the instructions, the user name, the
// password (secure) and the domain, and the buttons "authenticate" (OK, the
// default) and "cancel". The window is modal to the whole application.
class NetworkLogin : public QDialog {
public:
    explicit NetworkLogin(const QString& productName);

    QLabel* _keyImage;
    QLineEdit* _usernameTextField;
    QLineEdit* _passwordField;
    QLineEdit* _domainTextField;
    QPushButton* _authenticateButton;
    QPushButton* _cancelButton;
};
