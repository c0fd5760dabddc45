#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace Platform {

// One alert as the programs show it: a message box whose buttons are named by
// keys of the program's default string table, such as "OK_Button" and
// "Cancel_Button". Each button's object name is its key, so that a test finds
// it. The first button is the default one (Return); a "Cancel_Button" is also
// pressed by Escape. Texts are shown as plain text, never as markup, since
// they may come from the server. The alert shows the application's icon (as
// it is at that moment, badge and all).
//
// Without a window the alert is modal to the whole application; with one it
// is that window's sheet, modal to it alone. Either way runModal brings the
// alert to the front and blocks until it has ended; over a modal window that
// stays above the others, it stays above too. The alert belongs to the main
// thread.
class Alert {
public:
    // How the alert ended: by its first, second or third button, or closed
    // without one (the program is quitting).
    enum Response : int { FirstButton = 1000, SecondButton = 1001, ThirdButton = 1002, Closed = -1 };

    static constexpr const char* OkButton = "OK_Button";
    static constexpr const char* CancelButton = "Cancel_Button";
    // The object name of every alert's box.
    static constexpr const char* ObjectName = "Alert";

    explicit Alert(QWidget* sheetWindow = nullptr);
    Alert(const Alert&) = delete;
    Alert& operator=(const Alert&) = delete;

    // Adds a button titled with the key's text; buttons are numbered in the
    // order they are added.
    void addButton(const QString& key);
    void setMessageText(const QString& text);
    void setInformativeText(const QString& text);

    // Shows the alert and waits until it has ended.
    Response runModal();

    // The box itself, for what the methods above do not cover.
    QMessageBox& box() { return mBox; }

private:
    QMessageBox mBox;
    int mintButtons = 0;
};

}  // namespace Platform
