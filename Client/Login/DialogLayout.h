#pragma once

#include <QDialogButtonBox>
#include <QString>

#include <vector>

class QDialog;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPixmap;
class QPushButton;

namespace Login {

// The layout the login and balance windows share, as a desktop dialog has
// it: an image at the top left; beside it a bold heading over rows of a
// label and a value or field; the buttons at the bottom, placed as the
// desktop places a dialog's buttons. The window keeps the size its content
// needs, within the screen's room (a narrower screen wraps the heading onto
// more lines). Texts are plain text, never markup: labels come from the
// server.
class DialogLayout {
public:
    // Lays out the dialog; an empty pixmap leaves the image out.
    DialogLayout(QDialog& dialog, const QPixmap& image, const QString& imageName);
    DialogLayout(const DialogLayout&) = delete;
    DialogLayout& operator=(const DialogLayout&) = delete;

    // The bold heading above the rows, wrapped to the window's width.
    QLabel* addHeading(const QString& name, const QString& text);
    struct FieldRow {
        QLabel* label;
        QLineEdit* field;
    };
    // A row of a label and a text field (secure: typing shows only dots).
    FieldRow addField(const QString& labelName, const QString& labelText, const QString& fieldName, bool secure);
    // A row of a label and a value.
    QLabel* addValue(const QString& labelText, const QString& valueName, const QString& value);
    // A button of the button row; the first with the accept role is the
    // default one (Return).
    QPushButton* addButton(const QString& name, const QString& text, QDialogButtonBox::ButtonRole role);

private:
    QDialog& mDialog;
    QGridLayout* mRows;
    QDialogButtonBox* mButtons;
    bool mblnHasDefault = false;
    // The window's width beside the rows: margins and the image.
    int mintBesideRows = 0;
    // The fields, which share the room the widest label leaves them.
    std::vector<QLineEdit*> mFields;
    int mintLabelWidth = 0;
};

}  // namespace Login
