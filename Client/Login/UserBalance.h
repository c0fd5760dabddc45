#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

// The layout of the balance window ("panel"): the user's name and the
// remaining balance in labels named "username" and "balance", and the
// button "closeWindow". The window is modal to the whole application.
class UserBalance : public QDialog {
public:
    UserBalance(const QString& productName, const QString& username, const QString& balance);

    QLabel* _usernameLabel;
    QLabel* _balanceLabel;
    QPushButton* _closeButton;
};
