#include "Platform/Qt/Alert.h"

#include "Platform/Qt/LocalizedStrings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace Platform {

namespace {

// The size of the application's icon in an alert.
constexpr int kIconSize = 64;

}  // namespace

Alert::Alert(QWidget* sheetWindow) : mBox(sheetWindow)
{
    mBox.setObjectName(QString::fromLatin1(ObjectName));
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        mBox.setIcon(QMessageBox::Information);
    else
        mBox.setIconPixmap(icon.pixmap(kIconSize, kIconSize));
    mBox.setWindowTitle(QGuiApplication::applicationDisplayName());
    mBox.setTextFormat(Qt::PlainText);
    // The message text stands out above the informative text, which has
    // room for a sentence on a line.
    mBox.setStyleSheet(QStringLiteral("QLabel#qt_msgbox_label { font-weight: bold; }"
                                      "QLabel#qt_msgbox_informativelabel { min-width: 320px; }"));
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

Alert::Response Alert::runModal()
{
    if (mintButtons == 0)
        addButton(QString::fromLatin1(OkButton));
    // An alert over a window that stays above the others stays above too, or
    // that window would hide the alert that blocks it.
    if (QWidget* over = QApplication::activeModalWidget(); over != nullptr && over != &mBox &&
                                                          over->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        mBox.setWindowFlag(Qt::WindowStaysOnTopHint);
    // Once shown (by exec, which must show it to make it modal), to the front.
    QTimer::singleShot(0, &mBox, [this] {
        mBox.raise();
        mBox.activateWindow();
    });
    mBox.exec();
    QAbstractButton* clicked = mBox.clickedButton();
    if (clicked == nullptr)
        return Closed;
    bool ok = false;
    int response = clicked->property("cvkResponse").toInt(&ok);
    return ok ? static_cast<Response>(response) : Closed;
}

}  // namespace Platform
