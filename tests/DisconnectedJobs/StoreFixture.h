#pragma once

#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/User.h"
#include "Core/Services/DisconnectedJobHandler.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "tests/DisconnectedJobs/ServerScripts.h"
#include "tests/Support/ScriptedUserInterface.h"
#include "tests/StandInServer/ManualClock.h"
#include "tests/StandInServer/StandInServer.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace DisconnectedJobTests {

// The store on its own: a private root, the stand-in server behind the web
// service (with a token), the scripted user interface and the store for the
// job cache folder, reading the time from a manual clock. Job files are
// written as the job threads write them.
class StoreTest : public ::testing::Test {
protected:
    static constexpr std::time_t Day = 86400;

    void SetUp() override;
    // After a failure, shows the end of the client's log.
    void TearDown() override;

    std::string Folder() const;
    // Stores a job for the CUPS id, printed this long before the clock's now;
    // answers its file.
    std::string StoreJob(uint32_t cupsId, std::time_t age = 0);
    // The names in the job cache folder, sorted.
    std::vector<std::string> Names() const;
    // Settings with the authentication type, the disconnected-job option and
    // the age limit in days.
    static CVClientData::ClientSettings Settings(int32_t authenticationType, int32_t option, uint64_t daysOld = 7);
    // The server answers the ping, or not (the web service pings anew).
    void SetReachable(bool reachable);
    std::string LogText() const;

    TestSupport::TempRoot mRoot;
    StandIn::StandInServer mServer;
    StandIn::ManualClock mClock{1750000000};
    std::unique_ptr<CVClientData::WebDataService> mService;
    TestSupport::ScriptedUserInterface mUI;
    std::unique_ptr<CVCoreDataServices::DisconnectedJobHandler> mStore;
    CVClientData::User mUser;
};

}  // namespace DisconnectedJobTests
