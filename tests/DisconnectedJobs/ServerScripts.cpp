#include "tests/DisconnectedJobs/ServerScripts.h"

#include "tests/StandInServer/DefaultAnswers.h"
#include "tests/Support/ChildProgram.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <thread>

namespace DisconnectedJobTests {

using StandIn::Answer;
using StandIn::RecordedRequest;

SubmissionLedger::SubmissionLedger(StandIn::StandInServer& server, std::chrono::milliseconds delay)
    : mState(std::make_shared<State>())
{
    auto submit = [state = mState, delay](const RecordedRequest& request) {
        if (delay.count() > 0)
            std::this_thread::sleep_for(delay);
        nlohmann::json job = nlohmann::json::parse(request.body, nullptr, false);
        std::lock_guard lock(state->lock);
        ++state->received;
        if (state->received == state->stallAt)
            return Answer::Stalled();
        if (state->status != 200 || !job.is_object())
            return Answer::Json(state->status == 200 ? 400 : state->status, R"({"Message":"not taken"})");
        ++state->accepted[job.value("CupsId", uint64_t{0})];
        return Answer::Json(200, "{}");
    };
    server.SetResponder("POST", "printapi/disconnectedjobs", StandIn::WithToken(submit));
}

void SubmissionLedger::AnswerWith(int status)
{
    std::lock_guard lock(mState->lock);
    mState->status = status;
}

void SubmissionLedger::StallSubmission(int n)
{
    std::lock_guard lock(mState->lock);
    mState->stallAt = mState->received + n;
}

std::map<uint64_t, int> SubmissionLedger::Accepted() const
{
    std::lock_guard lock(mState->lock);
    return mState->accepted;
}

size_t SubmissionLedger::AcceptedCount() const
{
    size_t count = 0;
    for (const auto& [id, times] : Accepted())
        count += static_cast<size_t>(times);
    return count;
}

int SubmissionLedger::Received() const
{
    std::lock_guard lock(mState->lock);
    return mState->received;
}

bool SubmissionLedger::WaitForReceived(int count, std::chrono::milliseconds limit) const
{
    return TestSupport::WaitUntil([&] { return Received() >= count; }, limit);
}

PendingJobsOnServer::PendingJobsOnServer(StandIn::StandInServer& server) : mState(std::make_shared<State>())
{
    server.SetResponder("GET", "printapi/pendingjobs", StandIn::WithToken([state = mState](const RecordedRequest&) {
        nlohmann::json list = nlohmann::json::array();
        std::lock_guard lock(state->lock);
        for (uint64_t id : state->pending) {
            ClientJob job = StoredJob(static_cast<uint32_t>(id), 1700000000);
            job.Id = id;
            job.Options.DisconnectedJob = false;
            nlohmann::json entry = nlohmann::json::object();
            job.ToJson(entry);
            list.push_back(entry);
        }
        return Answer::Json(200, list.dump());
    }));
    server.SetResponder("POST", "printapi/jobs", StandIn::WithToken([state = mState](const RecordedRequest& request) {
        nlohmann::json job = nlohmann::json::parse(request.body, nullptr, false);
        if (!job.is_object())
            return Answer::Json(400, R"({"Message":"The request is invalid."})");
        uint64_t id = job.value("Id", uint64_t{0});
        std::lock_guard lock(state->lock);
        if (state->failing.contains(id))
            return Answer::Json(500, R"({"Message":"cannot save"})");
        state->saved.push_back(id);
        state->savedSnoozed.push_back(job["Options"].value("DelayedJob", false));
        std::erase(state->pending, id);
        return Answer::Json(200, "{}");
    }));
}

void PendingJobsOnServer::Add(uint64_t id)
{
    std::lock_guard lock(mState->lock);
    mState->pending.push_back(id);
}

void PendingJobsOnServer::FailSavesOf(std::set<uint64_t> ids)
{
    std::lock_guard lock(mState->lock);
    mState->failing = std::move(ids);
}

std::vector<uint64_t> PendingJobsOnServer::Saved() const
{
    std::lock_guard lock(mState->lock);
    return mState->saved;
}

std::vector<bool> PendingJobsOnServer::SavedSnoozed() const
{
    std::lock_guard lock(mState->lock);
    return mState->savedSnoozed;
}

size_t PendingJobsOnServer::PendingCount() const
{
    std::lock_guard lock(mState->lock);
    return mState->pending.size();
}

ClientJob StoredJob(uint32_t cupsId, std::time_t printedAt)
{
    ClientJob job;
    job.CupsId = cupsId;
    job.SetComputerName("ws");
    job.DocumentName = "Report " + std::to_string(cupsId);
    job.TrackOption = 2;
    job.Options.DisconnectedJob = true;
    gmtime_r(&printedAt, &job.DatePrinted);
    job.GetUser().Id = 4711;
    job.GetUser().NetworkName = "alice";
    job.GetPrinter().Name = "Front_Desk";
    job.AddPageSet("A4", 2100, 2970, 2, 0, 1);
    return job;
}

}  // namespace DisconnectedJobTests
