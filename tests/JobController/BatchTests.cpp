#include "tests/JobController/ControllerFixture.h"

namespace JobControllerTests {
namespace {

// One job of a batch scenario: who prints what where, how long after the
// previous job, and whether it is expected to join the running batch.
struct BatchJob {
    uint64_t printerId;
    std::string application;
    int64_t secondsLater;
    bool joins;
};

struct BatchCase {
    const char* what;
    int32_t batchMode;
    uint64_t maxBatchSize;
    uint64_t batchTimeout;
    std::vector<BatchJob> jobs;
};

class BatchTest : public ControllerTest {
protected:
    // A job of the batching user (id 21), as the job thread makes it: the
    // user's id and mode are not yet known from the server.
    CVClientData::Job MakeJob(const BatchCase& scenario, const BatchJob& step) const
    {
        CVClientData::Job job;
        job.GetUser().NetworkName = "batcher";
        job.GetUser().BatchMode = scenario.batchMode;
        job.GetUser().MaxBatchSize = scenario.maxBatchSize;
        job.GetUser().BatchTimeout = scenario.batchTimeout;
        job.GetPrinter().Id = step.printerId;
        job.ProcessName = step.application;
        return job;
    }

    // Runs the jobs through the batch steps a job thread takes; returns
    // whether each joined the batch.
    std::vector<bool> RunJobs(const BatchCase& scenario)
    {
        std::vector<bool> joined;
        for (const BatchJob& step : scenario.jobs) {
            mBatchClock.Advance(step.secondsLater);
            CVClientData::Job job = MakeJob(scenario, step);
            bool inBatch = mService->DetermineBatchStatus(job, true);
            joined.push_back(inBatch);
            if (inBatch) {
                EXPECT_EQ(job.GetUser().Id, 21u) << scenario.what;
                EXPECT_EQ(job.GetUser().BatchMode, scenario.batchMode) << scenario.what;
            }
            job.GetUser().Id = 21;  // the server's rules name the user
            mService->HandledPrintJob(job);
        }
        return joined;
    }
};

std::vector<bool> Expected(const BatchCase& scenario)
{
    std::vector<bool> joins;
    for (const BatchJob& step : scenario.jobs)
        joins.push_back(step.joins);
    return joins;
}

TEST_F(BatchTest, JobsJoinABatchOnlyWithinItsLimits)
{
    const std::vector<BatchCase> cases = {
        {"manual batch of 3: the first job starts a batch of 2 more, the fourth a new one",
         CVBatchModeManual, 3, 300,
         {{1, "Editor", 0, false}, {1, "Editor", 5, true}, {1, "Editor", 5, true}, {1, "Editor", 5, false},
          {1, "Editor", 5, true}, {1, "Editor", 5, true}, {1, "Editor", 5, false}}},
        {"manual batch of 2", CVBatchModeManual, 2, 300,
         {{1, "Editor", 0, false}, {1, "Editor", 5, true}, {1, "Editor", 5, false}, {1, "Editor", 5, true}}},
        {"manual batch of 1 never starts", CVBatchModeManual, 1, 300,
         {{1, "Editor", 0, false}, {1, "Editor", 5, false}, {1, "Editor", 5, false}}},
        {"manual batch of 0 never starts", CVBatchModeManual, 0, 300,
         {{1, "Editor", 0, false}, {1, "Editor", 5, false}}},
        {"automatic batch goes on while jobs come within the time-out", CVBatchModeAutomatic, 0, 60,
         {{1, "Editor", 0, false}, {1, "Editor", 59, true}, {1, "Editor", 59, true}, {1, "Editor", 59, true}}},
        {"automatic batch expires; the late job starts a new one", CVBatchModeAutomatic, 0, 60,
         {{1, "Editor", 0, false}, {1, "Editor", 60, false}, {1, "Editor", 10, true}}},
        {"manual batch expires too", CVBatchModeManual, 5, 60,
         {{1, "Editor", 0, false}, {1, "Editor", 61, false}, {1, "Editor", 1, true}}},
        {"another printer ends the batch", CVBatchModeAutomatic, 0, 60,
         {{1, "Editor", 0, false}, {2, "Editor", 1, false}, {2, "Editor", 1, true}, {1, "Editor", 1, false}}},
        {"another application ends the batch", CVBatchModeAutomatic, 0, 60,
         {{1, "Editor", 0, false}, {1, "Viewer", 1, false}, {1, "Viewer", 1, true}, {1, "viewer", 1, false}}},
        {"no batch mode", CVBatchModeNone, 3, 60, {{1, "Editor", 0, false}, {1, "Editor", 1, false}}},
        {"an unknown batch mode", 7, 3, 60, {{1, "Editor", 0, false}, {1, "Editor", 1, false}}},
    };
    for (const BatchCase& scenario : cases) {
        MakeService();
        EXPECT_EQ(RunJobs(scenario), Expected(scenario)) << scenario.what;
    }
}

TEST_F(BatchTest, TheUserInterfaceHearsWhenABatchStartsAndEnds)
{
    BatchCase scenario{"", CVBatchModeManual, 2, 300, {{1, "Editor", 0, false}}};
    RunJobs(scenario);
    EXPECT_EQ(mUI.CountOf("batchStarted"), 1u);
    ASSERT_NE(mService->GetBatchUser(), nullptr);
    EXPECT_EQ(mService->GetBatchUser()->Id, 21u);

    mUI.ClearCalls();
    mService->CancelBatch();
    EXPECT_EQ(mUI.Kinds(), std::vector<std::string>{"batchEnded"});
    EXPECT_EQ(mService->GetBatchUser(), nullptr);
    // A cancelled batch is not joined, and the next printed job starts another.
    BatchCase next{"", CVBatchModeManual, 2, 300, {{1, "Editor", 1, false}, {1, "Editor", 1, true}}};
    EXPECT_EQ(RunJobs(next), Expected(next));
}

TEST_F(BatchTest, AJoiningJobTakesTheLastJobsEntries)
{
    CVClientData::Job first;
    first.GetUser() = MakeUser(21, "batcher");
    first.GetUser().UseLastEntries = true;
    first.Comments = "Project Zebra";
    first.Costing.OverrodeCostPerUnit = true;
    first.Costing.OverriddenBWUnitCost = 0.07;
    CVClientData::CustomFieldValue value;
    value.FieldId = 3;
    first.CustomValues.push_back(value);
    mService->HandledPrintJob(first);

    CVClientData::Job next;
    next.Comments = "mine";
    mService->CopyLastUsedValuesToJob(next);
    EXPECT_EQ(next.Comments, "Project Zebra");
    EXPECT_TRUE(next.Costing.OverrodeCostPerUnit);
    EXPECT_DOUBLE_EQ(next.Costing.OverriddenBWUnitCost, 0.07);
    ASSERT_EQ(next.CustomValues.size(), 1u);
    EXPECT_EQ(next.CustomValues.front().FieldId, 3u);

    // A user who neither batches nor reuses entries leaves no last job.
    MakeService();
    CVClientData::Job plain = first;
    plain.GetUser().UseLastEntries = false;
    mService->HandledPrintJob(plain);
    CVClientData::Job untouched;
    mService->CopyLastUsedValuesToJob(untouched);
    EXPECT_TRUE(untouched.Comments.empty());
}

}  // namespace
}  // namespace JobControllerTests
