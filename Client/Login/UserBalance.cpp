#include "Client/Login/UserBalance.h"

#include "Client/Login/DialogLayout.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

using Platform::LocalizedStrings;

namespace {

constexpr int kIconSize = 64;

}  // namespace

// The application's icon stands at the top left when it has one.
UserBalance::UserBalance(const QString& productName, const QString& username, const QString& balance)
{
    setObjectName(QStringLiteral("panel"));
    setWindowTitle(LocalizedStrings::Format("Client_Balance_Window_Title", productName));
    setWindowModality(Qt::ApplicationModal);

    QIcon icon = QApplication::windowIcon();
    Login::DialogLayout layout(*this, icon.isNull() ? QPixmap() : icon.pixmap(kIconSize, kIconSize),
                               QStringLiteral("_iconImage"));
    layout.addHeading(QStringLiteral("_headingLabel"), LocalizedStrings::Text("Client_Balance_Window_Heading"));
    _usernameLabel = layout.addValue(LocalizedStrings::Text("Client_Balance_User_Label"), QStringLiteral("username"),
                                     username);
    _balanceLabel = layout.addValue(LocalizedStrings::Text("Client_Balance_Remaining_Label"),
                                    QStringLiteral("balance"), balance);
    _closeButton = layout.addButton(QStringLiteral("closeWindow"), LocalizedStrings::Text("OK_Button"),
                                    QDialogButtonBox::AcceptRole);
}
