#include "Platform/Qt/Alert.h"

#include "Platform/Qt/LocalizedStrings.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>

namespace Platform {

Alert::Alert(QWidget* sheetWindow) : mBox(sheetWindow)
{
    mBox.setObjectName(QString::fromLatin1(ObjectName));
    mBox.setIcon(QMessageBox::Warning);
    mBox.setTextFormat(Qt::PlainText);
    mBox.setWindowModality(sheetWindow != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
}

void Alert::addButton(const QString& key)
{
    bool cancel = key == QLatin1String(CancelButton);
    QPushButton* button = mBox.addButton(LocalizedStrings::Text(key),
                                         cancel ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    button->setObjectName(key);
    button->setProperty("cvkResponse", FirstButton + mintButtons);
    if (mintButtons == 0)
        mBox.setDefaultButton(button);
    if (cancel)
        mBox.setEscapeButton(button);
    ++mintButtons;
}

void Alert::setMessageText(const QString& text)
{
    mBox.setText(text);
}

// The informative text lies below the message text; its label is made by
// the box with automatic format detection, so it is set to plain text here.
void Alert::setInformativeText(const QString& text)
{
    mBox.setInformativeText(text);
    if (auto* label = mBox.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        label->setTextFormat(Qt::PlainText);
}

void Alert::setInformationalStyle()
{
    mBox.setIcon(QMessageBox::Information);
}

Alert::Response Alert::runModal()
{
    if (mintButtons == 0)
        addButton(QString::fromLatin1(OkButton));
    mBox.exec();
    QAbstractButton* clicked = mBox.clickedButton();
    if (clicked == nullptr)
        return Closed;
    bool ok = false;
    int response = clicked->property("cvkResponse").toInt(&ok);
    return ok ? static_cast<Response>(response) : Closed;
}

}  // namespace Platform
