#pragma once

#include "Platform/Qt/LoginManager.h"

// Asks the system to restart, shut down, sleep or log the user out. Each
// operation sends one request to the login manager, which lets polkit ask the
// user where the machine's policy wants it, and answers whether the request
// was taken. Main thread.
class SystemPowerEvent {
public:
    static bool Restart();
    static bool Shutdown();
    static bool Sleep();
    static bool LogOut();

private:
    // Sends the request between its debug lines: the first before, then the
    // one for a request taken or the one for a request not taken.
    static bool SendLogged(Platform::LoginManager::Request request, const char* sending, const char* taken,
                           const char* notTaken);

    // Sends the request and logs the login manager's reason when it is not taken.
    static bool SendToLoginManager(Platform::LoginManager::Request request);
};
