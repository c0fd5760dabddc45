#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

// Uninstall's one window as its interface file lays it out: the welcome
// label over the help label, the progress indicator, then the Cancel and
// Uninstall buttons. Each control's object name is its outlet's, so that
// tests find it. The texts and the states are the AppDelegate's.
class UninstallWindow : public QWidget {
public:
    UninstallWindow();

    QLabel* welcomeText() const { return mWelcomeText; }
    QLabel* helpText() const { return mHelpText; }
    QProgressBar* uninstallProgress() const { return mUninstallProgress; }
    QPushButton* cancelButton() const { return mCancelButton; }
    QPushButton* uninstallButton() const { return mUninstallButton; }

private:
    QLabel* mWelcomeText;
    QLabel* mHelpText;
    QProgressBar* mUninstallProgress;
    QPushButton* mCancelButton;
    QPushButton* mUninstallButton;
};
