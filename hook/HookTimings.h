#pragma once

#include <chrono>

// The hook's waits, stated in seconds as they last in production. The
// environment variable CVK_HOOK_SECOND_MS shortens every one of them at once:
// it sets how many milliseconds one of these seconds lasts (1 to 1000), so
// that tests can run the client start-up and the read time-outs in a moment.
// Unset or out of range, a second is a second.
namespace HookTimings {

inline constexpr const char* SecondVariable = "CVK_HOOK_SECOND_MS";

// After starting the client agent, and between two looks for its socket.
inline constexpr int ClientStartSeconds = 7;
// Looks for the socket after the first one, in each of the two rounds.
inline constexpr int SocketPolls = 10;
// The longest wait for job data to become readable.
inline constexpr int ReadWaitSeconds = 30;
// Failed waits or reads in a row that end the reading.
inline constexpr int ReadFailuresAllowed = 5;

// The real duration of the given number of seconds.
std::chrono::milliseconds Seconds(int seconds);

// Sleeps for the given number of seconds.
void Sleep(int seconds);

}  // namespace HookTimings
