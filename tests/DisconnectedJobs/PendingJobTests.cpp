// The pending-job list and the pending-jobs pop-up.

#include "Core/CVModels/PendingJobList.h"
#include "tests/DisconnectedJobs/StoreFixture.h"

#include <gmock/gmock.h>

#include <set>

namespace DisconnectedJobTests {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

// The user releases the jobs with these server ids in every pending-jobs pop-up.
void Release(TestSupport::ScriptedUserInterface& ui, std::set<uint64_t> ids)
{
    ui.DuringPendingPopups([ids = std::move(ids)](CVClientData::PendingJobList& jobs) {
        for (const std::unique_ptr<ClientJob>& job : jobs)
            if (ids.contains(job->Id))
                job->Options.DelayedJob = false;
    });
}

// The pending-job states the user interface was told, in order.
std::vector<int> PendingStates(const TestSupport::ScriptedUserInterface& ui)
{
    std::vector<int> states;
    for (const TestSupport::ScriptedUserInterface::Call& call : ui.CallsOf("pending"))
        states.push_back(call.type);
    return states;
}

TEST_F(StoreTest, TwoReleasedPendingJobsAreBothSentAndLeaveTheList)
{
    PendingJobsOnServer server(mServer);
    for (uint64_t id : {7001, 7002, 7003})
        server.Add(id);
    mStore->LoadPendingJobsForUser(mUser, Settings(0, 1));
    EXPECT_EQ(mStore->GetNumberOfPendingJobs(), 3u);
    EXPECT_FALSE(mStore->HasMoreJobsThan(0));
    EXPECT_TRUE(mStore->HasMoreJobsThan(3));
    EXPECT_FALSE(mStore->HasMoreJobsThan(4));

    Release(mUI, {7001, 7003});
    mStore->ShowPendingJobsPopup(Settings(0, 1));
    EXPECT_THAT(server.Saved(), ElementsAre(7001u, 7003u));
    EXPECT_THAT(server.SavedSnoozed(), ElementsAre(true, true));
    EXPECT_EQ(mStore->GetNumberOfPendingJobs(), 1u);
    EXPECT_EQ(mUI.CallsOf("pendingPopup").size(), 1u);
    EXPECT_THAT(PendingStates(mUI), ElementsAre(0));

    // The last one released leaves the list empty.
    Release(mUI, {7002});
    mStore->ShowPendingJobsPopup(Settings(0, 1));
    EXPECT_THAT(server.Saved(), ElementsAre(7001u, 7003u, 7002u));
    EXPECT_EQ(mStore->GetNumberOfPendingJobs(), 0u);
    EXPECT_THAT(PendingStates(mUI), ElementsAre(0, 0, 0));
    EXPECT_EQ(mServer.CountOf("PUT", "printapi/rules/process"), 1u);  // the single job is shown priced
}

// After the first release that fails, the remaining released jobs wait.
TEST_F(StoreTest, ReleasedJobsAfterAFailedSaveWait)
{
    PendingJobsOnServer server(mServer);
    for (uint64_t id : {7101, 7102, 7103})
        server.Add(id);
    server.FailSavesOf({7101});
    mStore->LoadPendingJobsForUser(mUser, Settings(0, 1));
    Release(mUI, {7101, 7102, 7103});
    mStore->ShowPendingJobsPopup(Settings(0, 1));
    EXPECT_EQ(mServer.CountOf("POST", "printapi/jobs"), 1u);
    EXPECT_EQ(server.PendingCount(), 3u);
    EXPECT_EQ(mStore->GetNumberOfPendingJobs(), 3u);
}

// A single pending job whose costs cannot be had is not offered.
TEST_F(StoreTest, ASinglePendingJobThatCannotBePreparedIsNotShown)
{
    PendingJobsOnServer server(mServer);
    server.Add(7201);
    mServer.SetAnswer("PUT", "printapi/rules/process", StandIn::Answer::Json(500, R"({"Message":"rules failed"})"));
    mStore->ShowPendingJobsPopup(mUser, Settings(0, 1));
    EXPECT_TRUE(mUI.CallsOf("pendingPopup").empty());
    EXPECT_EQ(mStore->GetNumberOfPendingJobs(), 1u);
}

// After a connected job: the stored jobs go, the pending list is reloaded
// and, because it changed, offered; what stays pending keeps its state.
TEST_F(StoreTest, SubmittedJobsBringUpThePendingJobs)
{
    SubmissionLedger ledger(mServer);
    PendingJobsOnServer server(mServer);
    server.Add(7301);
    server.Add(7302);
    StoreJob(61);
    mStore->HandleDisconnectedJobs(mUser, Settings(0, 1));
    EXPECT_THAT(ledger.Accepted(), ElementsAre(Pair(61u, 1)));
    EXPECT_EQ(mUI.CallsOf("pendingPopup").size(), 1u);
    EXPECT_THAT(PendingStates(mUI), ElementsAre(1));

    // Nothing stored and nothing found at start: no pop-up, and the state
    // is cleared once nothing is pending.
    mStore->HandleDisconnectedJobs(mUser, Settings(0, 1));
    EXPECT_EQ(mUI.CallsOf("pendingPopup").size(), 1u);
    Release(mUI, {7301, 7302});
    mStore->Initialize(mUser, Settings(0, 1));  // start-up finds them pending
    EXPECT_THAT(PendingStates(mUI), ElementsAre(1, 1));
    mStore->HandleDisconnectedJobs(mUser, Settings(0, 1));
    EXPECT_EQ(mUI.CallsOf("pendingPopup").size(), 2u);
    EXPECT_THAT(server.Saved(), ElementsAre(7301u, 7302u));
    EXPECT_THAT(PendingStates(mUI), ElementsAre(1, 1, 0, 0));
}

// After a snooze the snoozed-jobs state is set only while the server holds
// pending jobs for the user, and cleared once it holds none.
TEST_F(StoreTest, SnoozeStateFollowsTheServersPendingList)
{
    PendingJobsOnServer server(mServer);
    mStore->UpdateDueToSnooze(mUser, Settings(0, 1));
    server.Add(7401);
    mStore->UpdateDueToSnooze(mUser, Settings(0, 1));
    EXPECT_THAT(PendingStates(mUI), ElementsAre(0, 2));
}

}  // namespace
}  // namespace DisconnectedJobTests
