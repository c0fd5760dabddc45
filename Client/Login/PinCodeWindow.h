#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace CVClientData {
class ClientSettings;
}

// The layout of the PIN window, with its outlets under their own names as
// object names: a key, the instructions, and one secure field for the PIN,
// or, when the settings' authentication type is 3, a plain field for the
// identifier and a secure one for the password with the password reset
// button. The buttons carry the names of their actions: "authenticate" (OK,
// the default) and "cancel". The window is modal to the whole application.
class PinCodeWindow : public QDialog {
public:
    PinCodeWindow(const CVClientData::ClientSettings& settings, const QString& productName);

    // The texts of the window, from the string table and the settings' labels.
    static QString windowTitle(const QString& productName);
    static QString windowPrompt(const QString& productName);
    static QString unsecurePrompt(const CVClientData::ClientSettings& settings);
    static QString securePrompt(const CVClientData::ClientSettings& settings);
    static QString resetPrompt(const CVClientData::ClientSettings& settings);

    // Whether the settings ask for an identifier and a password.
    static bool usesPassword(const CVClientData::ClientSettings& settings);

    QLabel* _keyImage;
    QLabel* _instructionLabel;
    QLabel* _unsecureLabel;
    QLineEdit* _unsecureField;
    QLabel* _secureLabel;
    QLineEdit* _secureField;
    QPushButton* _resetPasswordButton;
    QPushButton* _authenticateButton;
    QPushButton* _cancelButton;
};
