#include "Core/WebServiceConnection/WebDataStatus.h"

namespace CVClientData {

// Every stamp starts at 0, so every window starts stale.
WebDataStatus::WebDataStatus(const IClock& clock) : mpClock(&clock) {}

// Stamps the token with the current time.
void WebDataStatus::UpdateTokenTime()
{
    mintTokenTime = mpClock->Now();
}

// Stamps the ping with the current time.
void WebDataStatus::UpdatePingTime()
{
    mintPingTime = mpClock->Now();
}

// Stamps the settings with the current time.
void WebDataStatus::UpdateSettingsTime()
{
    mintSettingsTime = mpClock->Now();
}

// Stamps the logo check with the current time.
void WebDataStatus::UpdateLogoTime()
{
    mintLogoTime = mpClock->Now();
}

// Stores the ping's result; a failure invalidates the token and settings.
void WebDataStatus::SetPingStatus(bool ok)
{
    if (!ok) {
        FailedConnection();
        return;
    }
    mblnLastPingStatus = true;
    UpdatePingTime();
}

// The server did not answer: nothing it said earlier is trusted any more.
void WebDataStatus::FailedConnection()
{
    mblnLastPingStatus = false;
    mblnLastSettingsStatus = false;
    mintTokenTime = 0;
    mintSettingsTime = 0;
    UpdatePingTime();
}

// Stores the settings request's result; a success also proves the server answers.
void WebDataStatus::SetSettingsStatus(bool ok)
{
    mblnLastSettingsStatus = ok;
    if (ok) {
        UpdateSettingsTime();
        UpdatePingTime();
    }
}

// Stores the logo check's result and stamps the check.
void WebDataStatus::SetLogoResutl(ClientLogoResult result)
{
    mintLogoResult = result;
    UpdateLogoTime();
}

// Whether the token is 420 s old or more.
bool WebDataStatus::TokenRequiresRefresh() const
{
    return mIsStale(mintTokenTime, TokenWindowSeconds);
}

// Whether the ping answer is 15 s old or more.
bool WebDataStatus::PingRequiresRefresh() const
{
    return mIsStale(mintPingTime, PingWindowSeconds);
}

// Whether the settings are 25 s old or more.
bool WebDataStatus::ClientSettingsRequiresRefresh() const
{
    return mIsStale(mintSettingsTime, SettingsWindowSeconds);
}

// Whether the logo check is twelve hours old or more.
bool WebDataStatus::ClientLogRequiresRefresh() const
{
    return mIsStale(mintLogoTime, LogoWindowSeconds);
}

// Seconds from the given time to now.
double WebDataStatus::GetDeltaInSeconds(std::time_t time) const
{
    return std::difftime(mpClock->Now(), time);
}

// Whether a stamp is at least its window old.
bool WebDataStatus::mIsStale(std::time_t stamp, double window) const
{
    return HasTimedOut(window, GetDeltaInSeconds(stamp));
}

}  // namespace CVClientData
