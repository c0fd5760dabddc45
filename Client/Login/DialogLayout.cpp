#include "Client/Login/DialogLayout.h"

#include "Platform/Qt/FontScale.h"

#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace Login {

namespace {

// The width of the heading's text and of the fields at the desktop's usual
// font (larger fonts widen them): room for a sentence on a line and for a
// long user name.
constexpr int kHeadingWidth = 320;
constexpr int kFieldWidth = 220;
constexpr int kImageSpacing = 16;
constexpr int kColumnSpacing = 10;
constexpr QMargins kMargins(20, 20, 20, 16);

QLabel* PlainLabel(const QString& name, const QString& text, QWidget& parent)
{
    auto* label = new QLabel(&parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

}  // namespace

DialogLayout::DialogLayout(QDialog& dialog, const QPixmap& image, const QString& imageName)
    : mDialog(dialog), mRows(new QGridLayout), mButtons(new QDialogButtonBox(&dialog))
{
    auto* content = new QHBoxLayout;
    content->setSpacing(kImageSpacing);
    mintBesideRows = kMargins.left() + kMargins.right();
    if (!image.isNull()) {
        mintBesideRows += static_cast<int>(image.deviceIndependentSize().width()) + kImageSpacing;
        auto* picture = new QLabel(&dialog);
        picture->setObjectName(imageName);
        picture->setPixmap(image);
        picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
        content->addWidget(picture, 0, Qt::AlignTop);
    }
    mRows->setColumnStretch(1, 1);
    mRows->setVerticalSpacing(8);
    mRows->setHorizontalSpacing(kColumnSpacing);
    content->addLayout(mRows, 1);

    auto* window = new QVBoxLayout(&dialog);
    window->setContentsMargins(kMargins);
    window->setSpacing(18);
    window->setSizeConstraint(QLayout::SetFixedSize);
    window->addLayout(content);
    window->addWidget(mButtons);
    mButtons->setObjectName(QStringLiteral("buttons"));
}

QLabel* DialogLayout::addHeading(const QString& name, const QString& text)
{
    QLabel* heading = PlainLabel(name, text, mDialog);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    heading->setWordWrap(true);
    const int width = Platform::FontScaledWithin(*heading, kHeadingWidth, mintBesideRows);
    heading->setFixedWidth(width);
    // A window of fixed size does not ask a wrapped label for its height at
    // its width, so the label asks for all of its lines itself.
    heading->setMinimumHeight(heading->heightForWidth(width));
    int row = mRows->rowCount();
    mRows->addWidget(heading, row, 0, 1, 2);
    // A little more room between the heading and the rows.
    mRows->setRowMinimumHeight(row + 1, 4);
    return heading;
}

DialogLayout::FieldRow DialogLayout::addField(const QString& labelName, const QString& labelText,
                                              const QString& fieldName, bool secure)
{
    QLabel* label = PlainLabel(labelName, labelText, mDialog);
    auto* field = new QLineEdit(&mDialog);
    field->setObjectName(fieldName);
    mFields.push_back(field);
    mintLabelWidth = std::max(mintLabelWidth, label->sizeHint().width());
    for (QLineEdit* each : mFields)
        each->setMinimumWidth(
            Platform::FontScaledWithin(*each, kFieldWidth, mintBesideRows + mintLabelWidth + kColumnSpacing));
    if (secure) {
        field->setEchoMode(QLineEdit::Password);
        field->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
        field->setContextMenuPolicy(Qt::NoContextMenu);
    }
    label->setBuddy(field);
    int row = mRows->rowCount();
    mRows->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
    mRows->addWidget(field, row, 1);
    return {label, field};
}

QLabel* DialogLayout::addValue(const QString& labelText, const QString& valueName, const QString& value)
{
    QLabel* label = PlainLabel(QString(), labelText, mDialog);
    QLabel* shown = PlainLabel(valueName, value, mDialog);
    shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
    int row = mRows->rowCount();
    mRows->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
    mRows->addWidget(shown, row, 1);
    return shown;
}

QPushButton* DialogLayout::addButton(const QString& name, const QString& text, QDialogButtonBox::ButtonRole role)
{
    QPushButton* button = mButtons->addButton(text, role);
    button->setObjectName(name);
    button->setAutoDefault(false);
    if (role == QDialogButtonBox::AcceptRole && !mblnHasDefault) {
        button->setDefault(true);
        mblnHasDefault = true;
    }
    return button;
}

}  // namespace Login
