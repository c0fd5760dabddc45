#include "Client/CustomFields/CustomFieldComboBox.h"

#include "Platform/Qt/LocalizedStrings.h"

#include <QFont>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStylePainter>

namespace {

// The text field of an editable box: away from the keyboard, a text too
// long for it shows its start cut with "…" rather than its end.
class ElidingLineEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

    bool isElided() const { return fontMetrics().horizontalAdvance(text()) > mTextRect().width(); }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (hasFocus() || !isElided()) {
            QLineEdit::paintEvent(event);
            return;
        }
        QPainter painter(this);
        QStyleOptionFrame panel;
        initStyleOption(&panel);
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
        const QRect room = mTextRect();
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
        painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideRight, room.width()));
    }

private:
    // Where QLineEdit draws its text: its contents less its margins.
    QRect mTextRect() const
    {
        QStyleOptionFrame panel;
        initStyleOption(&panel);
        constexpr int kHorizontalMargin = 2;
        return style()
            ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
            .marginsRemoved(textMargins())
            .adjusted(kHorizontalMargin, 0, -kHorizontalMargin, 0);
    }
};

}  // namespace

CustomFieldComboBox::CustomFieldComboBox(QWidget* parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("_comboBox"));
    connect(this, &QComboBox::currentTextChanged, this, [this] { mUpdateToolTip(); });
    // Qt puts a value picked from the list into the text field with the
    // cursor at its end, which scrolls its start (the code) out of view.
    connect(this, &QComboBox::activated, this, [this] {
        if (lineEdit() != nullptr)
            lineEdit()->setCursorPosition(0);
    });
}

void CustomFieldComboBox::makeEditable()
{
    setEditable(true);
    setLineEdit(new ElidingLineEdit(this));
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

bool CustomFieldComboBox::isElided() const
{
    if (auto* edit = dynamic_cast<const ElidingLineEdit*>(lineEdit()))
        return edit->isElided();
    return fontMetrics().horizontalAdvance(currentText()) > mTextWidth();
}

int CustomFieldComboBox::mTextWidth() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    // The label is drawn a pixel in from each side of the field.
    return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this).width() - 2;
}

void CustomFieldComboBox::paintEvent(QPaintEvent* event)
{
    if (isEditable()) {
        QComboBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = fontMetrics().elidedText(option.currentText, Qt::ElideRight, mTextWidth());
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void CustomFieldComboBox::resizeEvent(QResizeEvent* event)
{
    QComboBox::resizeEvent(event);
    mUpdateToolTip();
}

// The tooltip holds a text that the box cuts.
void CustomFieldComboBox::mUpdateToolTip()
{
    setToolTip(isElided() ? currentText() : QString());
    if (lineEdit() != nullptr)
        lineEdit()->setToolTip(toolTip());
}
