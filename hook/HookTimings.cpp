#include "hook/HookTimings.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace HookTimings {

namespace {

constexpr int kMillisecondsPerSecond = 1000;

// The length of one second in milliseconds, read from the environment.
int SecondLength()
{
    const char* text = std::getenv(SecondVariable);
    if (text == nullptr)
        return kMillisecondsPerSecond;
    int value = 0;
    auto [end, error] = std::from_chars(text, text + std::strlen(text), value);
    if (error != std::errc() || *end != '\0' || value < 1 || value > kMillisecondsPerSecond)
        return kMillisecondsPerSecond;
    return value;
}

}  // namespace

std::chrono::milliseconds Seconds(int seconds)
{
    return std::chrono::milliseconds(static_cast<long long>(seconds) * SecondLength());
}

void Sleep(int seconds)
{
    std::this_thread::sleep_for(Seconds(seconds));
}

}  // namespace HookTimings
