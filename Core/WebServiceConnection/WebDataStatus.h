#pragma once

#include "Core/CVModels/LocalFiles/IClientLogoSource.h"
#include "Core/WebServiceConnection/Clock.h"

#include <cstdint>
#include <ctime>

namespace CVClientData {

// When the server last answered each kind of question, so that answers can
// be reused for a fixed time: the ping for 15 s, the token for 420 s, the
// client settings for 25 s and the logo check for twelve hours. Every stamp
// starts at 0, so every window is stale at first. A stamp is stale once the
// time since it reaches its window (equality counts as stale).
//
// The record holds no lock; WebDataService guards its one instance.
class WebDataStatus {
public:
    static constexpr double TokenWindowSeconds = 420.0;
    static constexpr double PingWindowSeconds = 15.0;
    static constexpr double SettingsWindowSeconds = 25.0;
    static constexpr double LogoWindowSeconds = 43200.0;

    // The clock must outlive the record.
    explicit WebDataStatus(const IClock& clock = SystemClock::Shared());

    void UpdateTokenTime();
    void UpdatePingTime();
    void UpdateSettingsTime();
    void UpdateLogoTime();

    // A failed ping also forgets the token and the settings (see FailedConnection).
    void SetPingStatus(bool ok);
    void FailedConnection();
    // Only a successful settings answer is stamped (settings and ping time).
    void SetSettingsStatus(bool ok);
    void SetLogoResutl(ClientLogoResult result);

    std::time_t GetTokenLastUpdatedTime() const { return mintTokenTime; }
    std::time_t GetPingLastUpdatedTime() const { return mintPingTime; }
    std::time_t GetSettingsLastUpdatedTime() const { return mintSettingsTime; }
    std::time_t GetLogoLastUpdatedTime() const { return mintLogoTime; }
    bool GetLastPingStatus() const { return mblnLastPingStatus; }
    bool GetLastSettingsStatus() const { return mblnLastSettingsStatus; }
    ClientLogoResult GetClientLogoResult() const { return mintLogoResult; }

    bool TokenRequiresRefresh() const;
    bool PingRequiresRefresh() const;
    bool ClientSettingsRequiresRefresh() const;
    bool ClientLogRequiresRefresh() const;

    double GetDeltaInSeconds(std::time_t time) const;
    static bool HasTimedOut(double limit, double delta) { return delta >= limit; }

private:
    bool mIsStale(std::time_t stamp, double window) const;

    const IClock* mpClock;
    std::time_t mintTokenTime = 0;
    std::time_t mintPingTime = 0;
    std::time_t mintSettingsTime = 0;
    std::time_t mintLogoTime = 0;
    bool mblnLastPingStatus = false;
    bool mblnLastSettingsStatus = false;
    ClientLogoResult mintLogoResult = StandardLogo;
};

}  // namespace CVClientData
