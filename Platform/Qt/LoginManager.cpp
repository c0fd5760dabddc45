#include "Platform/Qt/LoginManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QVariant>

namespace Platform::LoginManager {
namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManagerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSessionInterface = QStringLiteral("org.freedesktop.login1.Session");

// Long enough for a person to answer polkit's password question.
constexpr int kAnswerTimeoutMs = 120 * 1000;

// Calls one method of logind and waits for its answer.
QDBusMessage Call(const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(arguments);
    message.setInteractiveAuthorizationAllowed(true);
    return QDBusConnection::systemBus().call(message, QDBus::Block, kAnswerTimeoutMs);
}

bool Failed(const QDBusMessage& reply, QString& error)
{
    if (reply.type() != QDBusMessage::ErrorMessage)
        return false;
    error = reply.errorName() + QStringLiteral(": ") + reply.errorMessage();
    return true;
}

// The manager's method for a request that it answers itself; the flag asks
// logind to let polkit question the user.
QString ManagerMethod(Request request)
{
    switch (request) {
    case Request::Reboot: return QStringLiteral("Reboot");
    case Request::PowerOff: return QStringLiteral("PowerOff");
    default: return QStringLiteral("Suspend");
    }
}

// Ends the caller's session: "auto" names the session of the calling
// process, or the user's graphical one when the process is in none.
QDBusMessage EndOwnSession(QString& error)
{
    QDBusMessage found = Call(kManagerPath, kManagerInterface, QStringLiteral("GetSession"), {QStringLiteral("auto")});
    if (Failed(found, error))
        return found;
    QString session = found.arguments().value(0).value<QDBusObjectPath>().path();
    if (session.isEmpty()) {
        error = QStringLiteral("logind named no session");
        return QDBusMessage::createError(QStringLiteral("org.freedesktop.DBus.Error.Failed"), error);
    }
    return Call(session, kSessionInterface, QStringLiteral("Terminate"));
}

}  // namespace

bool Send(Request request, QString& error)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        error = QStringLiteral("no system bus: ") + bus.lastError().message();
        return false;
    }
    QDBusMessage reply = request == Request::EndSession
                             ? EndOwnSession(error)
                             : Call(kManagerPath, kManagerInterface, ManagerMethod(request), {true});
    return !Failed(reply, error);
}

}  // namespace Platform::LoginManager
