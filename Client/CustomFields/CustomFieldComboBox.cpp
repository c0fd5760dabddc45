#include "Client/CustomFields/CustomFieldComboBox.h"

#include "Platform/Qt/LocalizedStrings.h"

#include <QFont>
#include <QLineEdit>
#include <QSignalBlocker>

CustomFieldComboBox::CustomFieldComboBox(QWidget* parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("_comboBox"));
}

void CustomFieldComboBox::makeEditable()
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        if (currentIndex() >= 0)
            mDeselectKeepingText();
    });
}

void CustomFieldComboBox::clearSelection()
{
    setCurrentIndex(-1);
    if (isEditable())
        setEditText(QString());
}

void CustomFieldComboBox::replaceItems(const QStringList& remembered, const QStringList& values)
{
    const QSignalBlocker blocker(this);
    const int selected = currentIndex();
    const QString selectedText = selected >= 0 ? itemText(selected) : QString();
    const QString text = currentText();
    clear();
    if (!remembered.isEmpty()) {
        QFont italic = font();
        italic.setItalic(true);
        addItem(Platform::LocalizedStrings::Text(QStringLiteral("Custom_Fields_Last_Ten_Header")));
        setItemData(0, italic, Qt::FontRole);
        addItems(remembered);
        addItem(Platform::LocalizedStrings::Text(QStringLiteral("Custom_Fields_Last_Ten_Footer")));
        setItemData(count() - 1, italic, Qt::FontRole);
    }
    addItems(values);
    setCurrentIndex(selectedText.isEmpty() ? -1 : findText(selectedText, Qt::MatchExactly | Qt::MatchCaseSensitive));
    if (isEditable())
        setEditText(text);
}

void CustomFieldComboBox::disconnectFrom(const QObject* receiver)
{
    disconnect(this, nullptr, receiver, nullptr);
    if (lineEdit() != nullptr)
        lineEdit()->disconnect(receiver);
}

void CustomFieldComboBox::showPopup()
{
    mintPopUpSelection = currentIndex();
    QComboBox::showPopup();
}

void CustomFieldComboBox::hidePopup()
{
    QComboBox::hidePopup();
    if (currentIndex() < 0 && mintPopUpSelection >= 0 && mintPopUpSelection < count())
        setCurrentIndex(mintPopUpSelection);
}

// Qt empties the text when the selection goes; the user's text and cursor
// are put back.
void CustomFieldComboBox::mDeselectKeepingText()
{
    QLineEdit* edit = lineEdit();
    const QString text = edit->text();
    const int cursor = edit->cursorPosition();
    setCurrentIndex(-1);
    edit->setText(text);
    edit->setCursorPosition(cursor);
}
