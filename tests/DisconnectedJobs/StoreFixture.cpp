#include "tests/DisconnectedJobs/StoreFixture.h"

#include "Core/Services/DisconnectedJobFiles.h"
#include "tests/JobPipeline/PipelineFixture.h"
#include "Platform/UserAccount.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace DisconnectedJobTests {

namespace fs = std::filesystem;

void StoreTest::SetUp()
{
    fs::create_directories(Folder());
    mService = PipelineTests::StandInClient(mRoot, mServer, mClock);
    std::string token;
    ASSERT_EQ(mService->Authorize(CVAuthenticationLoggedInUser, Platform::CurrentUserName(), "", token).mintResultCode,
              CVClientData::AuthorizeResultCode::Success);
    mStore = std::make_unique<CVCoreDataServices::DisconnectedJobHandler>(mUI, Folder(), *mService, mClock);
    mUser.Id = 4711;
    mUser.NetworkName = Platform::CurrentUserName();
}

void StoreTest::TearDown()
{
    if (!HasFailure())
        return;
    std::string log = LogText();
    size_t start = log.size() > 6000 ? log.find('\n', log.size() - 6000) + 1 : 0;
    std::cerr << "--- end of the client's log ---\n" << log.substr(start);
}

std::string StoreTest::Folder() const
{
    return mRoot.Folder(Platform::Folder::UserData);
}

std::string StoreTest::StoreJob(uint32_t cupsId, std::time_t age)
{
    ClientJob job = StoredJob(cupsId, mClock.Now() - age);
    std::string path = CVCoreDataServices::DisconnectedJobFiles::PathFor(Folder(), job.GetComputerName(), cupsId);
    EXPECT_TRUE(job.WriteToBinaryFile(path));
    return path;
}

std::vector<std::string> StoreTest::Names() const
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(Folder()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

CVClientData::ClientSettings StoreTest::Settings(int32_t authenticationType, int32_t option, uint64_t daysOld)
{
    CVClientData::ClientSettings settings;
    settings.AuthenticationType = authenticationType;
    settings.DisconnectedJobOption = option;
    settings.DisconnectedJobsOldIn = daysOld;
    return settings;
}

void StoreTest::SetReachable(bool reachable)
{
    if (reachable)
        mServer.ResetAnswer("GET", "printapi/info/ping");
    else
        mServer.SetAnswer("GET", "printapi/info/ping", StandIn::Answer::Json(503, "false"));
    mClock.Advance(60);
}

std::string StoreTest::LogText() const
{
    return mRoot.ClientLogText();
}

}  // namespace DisconnectedJobTests
