#pragma once

#include <cstdint>

// How the server identifies the user of a job; the client settings'
// "AuthenticationType" holds one of these numbers.
enum CVAuthenticationOption : int32_t {
    CVAuthenticationLoggedInUser = 0,     // the user logged in to the workstation
    CVAuthenticationAutomatic = 1,        // automatic by other means; not offered on this system
    CVAuthenticationPin = 2,              // a PIN typed in the PIN window
    CVAuthenticationPinAndPassword = 3,   // a PIN or identifier with a password
    CVAuthenticationNetworkDirect = 4,    // network credentials checked directly; not offered on this system
    CVAuthenticationNetworkLogin = 5,     // network credentials typed in the login window
};
