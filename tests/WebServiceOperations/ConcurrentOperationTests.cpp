// Job threads and the windows share one web service: operations running at
// once on many threads each get their own answer.

#include "Core/CVModels/ProcessJobResult.h"
#include "tests/WebServiceOperations/OperationsFixture.h"

#include <atomic>
#include <set>
#include <thread>

namespace OperationTests {
namespace {

using SharedService = OperationsTest;

TEST_F(SharedService, JobThreadsRunOperationsAtOnce)
{
    Grant();
    constexpr int Threads = 6;
    constexpr int Rounds = 8;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < Rounds; ++round) {
                ClientJob job = SampleJob();
                job.Id = static_cast<uint64_t>(t * 100 + round);
                ProcessJobResult result;
                std::vector<CustomField> fields;
                ClientLogoResult logo = StandardLogo;
                std::string data;
                std::string date;
                bool ok = mService->ProcessJob(job, CVJobProcessingStageStart, CVJobProcessingStageFinal, result)
                          && result.ProcessedToStage == 4 && mService->SaveJob(job)
                          && mService->GetCustomFields(fields) && fields.size() == 2
                          && mService->GetClientLogo(logo, data, date)
                          && mService->AddJobCancelEvent(job, CVCancelReasonUser, "thread " + std::to_string(t));
                if (!ok)
                    ++failures;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(mServer.CountOf("PUT", "printapi/rules/process"), static_cast<size_t>(Threads * Rounds));
    EXPECT_EQ(mServer.CountOf("POST", "printapi/jobs"), static_cast<size_t>(Threads * Rounds));
    // Every job's cancel event went out under its own id.
    std::set<uint64_t> ids;
    for (const RecordedRequest& request : mServer.RequestsTo("POST", "printapi/jobs/cancelevent/2"))
        ids.insert(nlohmann::json::parse(request.body)["Id"].get<uint64_t>());
    EXPECT_EQ(ids.size(), static_cast<size_t>(Threads * Rounds));
}

}  // namespace
}  // namespace OperationTests
