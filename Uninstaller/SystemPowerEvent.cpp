#include "Uninstaller/SystemPowerEvent.h"

#include "CoreLogger/ComponentLog.h"

namespace {

using Log = ComponentLog<LogComponents::UninstallerGeneral>;

}  // namespace

using Platform::LoginManager::Request;

bool SystemPowerEvent::Restart()
{
    return SendLogged(Request::Reboot, "Sending Restart.", "Computer is going to restart!",
                      "Computer wouldn't restart");
}

bool SystemPowerEvent::Shutdown()
{
    return SendLogged(Request::PowerOff, "Sending Shutdown.", "Computer is going to Shutdown!",
                      "Computer wouldn't Shutdown");
}

bool SystemPowerEvent::Sleep()
{
    return SendLogged(Request::Suspend, "Sending Sleep.", "Computer is going to Sleep!", "Computer wouldn't Sleep");
}

bool SystemPowerEvent::LogOut()
{
    return SendLogged(Request::EndSession, "Sending Logout.", "Computer is going to Logout!",
                      "Computer wouldn't Logout");
}

bool SystemPowerEvent::SendLogged(Request request, const char* sending, const char* taken, const char* notTaken)
{
    Log::Debug(sending);
    bool sent = SendToLoginManager(request);
    Log::Debug(sent ? taken : notTaken);
    return sent;
}

bool SystemPowerEvent::SendToLoginManager(Request request)
{
    QString error;
    if (Platform::LoginManager::Send(request, error))
        return true;
    Log::Debug("Login manager: %s", error.toStdString());
    return false;
}
