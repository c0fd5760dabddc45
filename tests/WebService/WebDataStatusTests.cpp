#include "Core/WebServiceConnection/WebDataStatus.h"
#include "tests/StandInServer/ManualClock.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using CVClientData::WebDataStatus;

struct Window {
    const char* name;
    std::function<void(WebDataStatus&)> stamp;
    std::function<bool(const WebDataStatus&)> requiresRefresh;
    std::time_t seconds;
};

const Window Windows[] = {
    {"token", &WebDataStatus::UpdateTokenTime, &WebDataStatus::TokenRequiresRefresh, 420},
    {"ping", &WebDataStatus::UpdatePingTime, &WebDataStatus::PingRequiresRefresh, 15},
    {"settings", &WebDataStatus::UpdateSettingsTime, &WebDataStatus::ClientSettingsRequiresRefresh, 25},
    {"logo", &WebDataStatus::UpdateLogoTime, &WebDataStatus::ClientLogRequiresRefresh, 43200},
};

TEST(WebDataStatus, EachWindowIsStaleAtFirstFreshUntilItsLimitAndStaleAtIt)
{
    for (const Window& window : Windows) {
        SCOPED_TRACE(window.name);
        StandIn::ManualClock clock;
        WebDataStatus status(clock);
        EXPECT_TRUE(window.requiresRefresh(status));
        window.stamp(status);
        EXPECT_FALSE(window.requiresRefresh(status));
        clock.Advance(window.seconds - 1);
        EXPECT_FALSE(window.requiresRefresh(status));
        clock.Advance(1);
        EXPECT_TRUE(window.requiresRefresh(status));
    }
}

TEST(WebDataStatus, FailedPingForgetsTokenAndSettingsButStampsThePing)
{
    StandIn::ManualClock clock;
    WebDataStatus status(clock);
    status.UpdateTokenTime();
    status.SetSettingsStatus(true);
    status.SetPingStatus(true);
    ASSERT_TRUE(status.GetLastPingStatus());
    clock.Advance(5);

    status.SetPingStatus(false);
    EXPECT_FALSE(status.GetLastPingStatus());
    EXPECT_FALSE(status.GetLastSettingsStatus());
    EXPECT_TRUE(status.TokenRequiresRefresh());
    EXPECT_TRUE(status.ClientSettingsRequiresRefresh());
    EXPECT_EQ(status.GetPingLastUpdatedTime(), clock.Now());
    EXPECT_FALSE(status.PingRequiresRefresh());
}

TEST(WebDataStatus, SettingsStatusStampsOnlyOnSuccessAndLeavesThePingResult)
{
    StandIn::ManualClock clock;
    WebDataStatus status(clock);
    status.SetSettingsStatus(false);
    EXPECT_EQ(status.GetSettingsLastUpdatedTime(), 0);
    EXPECT_EQ(status.GetPingLastUpdatedTime(), 0);

    status.SetSettingsStatus(true);
    EXPECT_TRUE(status.GetLastSettingsStatus());
    EXPECT_EQ(status.GetSettingsLastUpdatedTime(), clock.Now());
    EXPECT_EQ(status.GetPingLastUpdatedTime(), clock.Now());
    EXPECT_FALSE(status.GetLastPingStatus());
}

TEST(WebDataStatus, LogoResultIsStoredWithItsTime)
{
    StandIn::ManualClock clock;
    WebDataStatus status(clock);
    status.SetLogoResutl(CVClientData::NewLogo);
    EXPECT_EQ(status.GetClientLogoResult(), CVClientData::NewLogo);
    EXPECT_EQ(status.GetLogoLastUpdatedTime(), clock.Now());
}

}  // namespace
