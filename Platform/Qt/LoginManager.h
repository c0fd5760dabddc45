#pragma once

#include <QString>

namespace Platform {

// systemd-logind, the system's login manager, reached over the system D-Bus
// bus (the one DBUS_SYSTEM_BUS_ADDRESS names when set, as tests do for a
// private bus). Every request allows interactive authorisation, so that
// polkit asks the user where the machine's policy wants a password and the
// policy alone decides.
namespace LoginManager {

enum class Request {
    Reboot,      // restart the computer
    PowerOff,    // shut it down
    Suspend,     // put it to sleep
    EndSession,  // log the caller's own session out
};

// Sends one request and waits for logind's answer (a person may be typing a
// password meanwhile). True when logind accepted it; otherwise false, and
// error says why. Main thread.
bool Send(Request request, QString& error);

}  // namespace LoginManager

}  // namespace Platform
