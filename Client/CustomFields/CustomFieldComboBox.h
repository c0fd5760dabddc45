#pragma once

#include <QComboBox>
#include <QStringList>

// The combo box of the custom-field controls. It remembers the item that
// was selected when its list opened, and selects it again when the list
// closes with nothing selected. Made editable, typing over a chosen item
// deselects it and keeps the typed text, so that a control tells a chosen
// item from typed text; Qt's own completion and insertion are off.
class CustomFieldComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CustomFieldComboBox(QWidget* parent = nullptr);

    // Lets the user type; see above.
    void makeEditable();

    // The index selected when the list last opened; -1 before.
    int popUpSelection() const { return mintPopUpSelection; }

    // Deselects any item and empties the text.
    void clearSelection();

    // Replaces the items without a selection notice: with remembered items,
    // a header, those items and a footer come first; the values follow. The
    // text stays; when an item was selected, the first item with the same
    // text is selected instead.
    void replaceItems(const QStringList& remembered, const QStringList& values);

    // Ends every connection of the box and its text field to the receiver,
    // so that a control going away hears nothing from its closing widgets.
    void disconnectFrom(const QObject* receiver);

    void showPopup() override;
    void hidePopup() override;

    // Whether the text shown is cut with "…" (its tooltip then holds it whole).
    bool isElided() const;

protected:
    // A text too long for the box shows its start (a value's code), cut
    // with "…"; while the user types in it, the box shows it as typed.
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void mDeselectKeepingText();
    // The room the text has in the box.
    int mTextWidth() const;
    // The tooltip set after a change of the text or of the box's width.
    void mUpdateToolTip();

    int mintPopUpSelection = -1;
};
