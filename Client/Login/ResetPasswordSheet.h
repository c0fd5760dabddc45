#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace CVClientData {
class ClientSettings;
}

// The layout of the PIN window's password reset sheet, with its outlets
// under their own names as object names: the new password twice, and the
// buttons "resetPassword" (the default) and "_cancelResetButton". As a sheet
// it is modal to the login window alone. The identifier and the current
// password are those typed in the login window.
class ResetPasswordSheet : public QDialog {
public:
    ResetPasswordSheet(const CVClientData::ClientSettings& settings, QWidget* loginWindow);

    QLineEdit* _newPasswordField;
    QLineEdit* _confirmPasswordField;
    QPushButton* _resetButton;
    QPushButton* _cancelResetButton;
};
