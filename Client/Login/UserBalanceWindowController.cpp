#include "Client/Login/UserBalanceWindowController.h"

#include "Client/BalanceRemainingText.h"
#include "Client/Login/ModalWindow.h"
#include "Client/Login/UserBalance.h"
#include "Core/CVModels/User.h"
#include "CoreLogger/ComponentLog.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QLocale>
#include <QPushButton>

#include <cmath>
#include <limits>

using Platform::LocalizedStrings;

namespace {

using Log = ComponentLog<LogComponents::ClientUserInterface>;

// The whole-number part of a balance for the log line, held within the
// range of an int (a balance from the server may be anything).
int WholeNumber(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    return static_cast<int>(std::trunc(std::fmin(std::fmax(value, lowest), highest)));
}

// Money with two decimals, pages as they are (whole or not), both in the
// user's number format.
QString Money(double value)
{
    return QLocale().toString(value, 'f', 2);
}

QString Pages(double value)
{
    return QLocale().toString(value, 'f', QLocale::FloatingPointShortest);
}

}  // namespace

UserBalanceWindowController::UserBalanceWindowController(const CVClientData::User& user)
    : mstrUsername(QString::fromStdString(user.DisplayName)), mstrBalance(formatBalanceRemainingForUser(user))
{
    Log::Debug("User::%s | Balance: %d", user.DisplayName, WholeNumber(user.BWBalanceRemaining));
}

UserBalanceWindowController::~UserBalanceWindowController() = default;

QString UserBalanceWindowController::formatBalanceRemainingForUser(const CVClientData::User& user)
{
    const BalanceNumberFormats formats{
        [](double money) { return LocalizedStrings::Format("Balance_Format_Costs", Money(money)); }, Pages};
    return BalanceRemainingText(user, formats).value_or(QString());
}

void UserBalanceWindowController::showWindow()
{
    Log::Debug("UserBalanceWindowController::showWindow - about to show balance _window");
    if (!panel) {
        panel = std::make_unique<UserBalance>(
            LocalizedStrings::Text(QStringLiteral("Quorvel"), QStringLiteral("Branding")), mstrUsername, mstrBalance);
        QObject::connect(panel->_closeButton, &QPushButton::clicked, panel.get(), [this] { closeWindow(); });
        QObject::connect(panel.get(), &QDialog::finished, panel.get(), [this] { windowWillClose(); });
    }
    Login::RunModal(*panel);
}

void UserBalanceWindowController::closeWindow()
{
    panel->accept();
}

void UserBalanceWindowController::windowWillClose()
{
    Log::Debug("UserBalanceWindowController::windowWillClose - telling _application to stop modal "
               "_authenticatedOperationType");
}
