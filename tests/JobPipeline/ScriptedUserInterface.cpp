#include "tests/JobPipeline/ScriptedUserInterface.h"

#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/PendingJobList.h"
#include "Core/CVModels/UIMessage.h"

#include <stdexcept>
#include <utility>

namespace PipelineTests {

ScriptedUserInterface::ScriptedUserInterface() : mThread([this] { mServe(); }) {}

ScriptedUserInterface::~ScriptedUserInterface()
{
    {
        std::lock_guard lock(mLock);
        mblnStopping = true;
    }
    mWake.notify_all();
    mThread.join();
}

void ScriptedUserInterface::AnswerMessages(std::vector<bool> answers)
{
    mOnUserInterfaceThread([&] {
        mMessageAnswers.assign(answers.begin(), answers.end());
        return true;
    }, false);
}

void ScriptedUserInterface::AnswerPopups(std::vector<PopupAnswer> answers)
{
    mOnUserInterfaceThread([&] {
        mPopupAnswers.assign(answers.begin(), answers.end());
        return true;
    }, false);
}

void ScriptedUserInterface::DuringPopups(std::function<void()> callback)
{
    mOnUserInterfaceThread([&] {
        mDuringPopups = std::move(callback);
        return true;
    }, false);
}

void ScriptedUserInterface::DuringPendingPopups(std::function<void(CVClientData::PendingJobList&)> choose)
{
    mOnUserInterfaceThread([&] {
        mDuringPendingPopups = std::move(choose);
        return true;
    }, false);
}

std::vector<ScriptedUserInterface::Call> ScriptedUserInterface::Calls() const
{
    std::lock_guard lock(mCallsLock);
    return mvecCalls;
}

std::vector<ScriptedUserInterface::Call> ScriptedUserInterface::CallsOf(const std::string& kind) const
{
    std::vector<Call> found;
    for (Call& call : Calls())
        if (call.kind == kind)
            found.push_back(std::move(call));
    return found;
}

bool ScriptedUserInterface::PromptForAuthentication(CVClientData::User&, CVClientData::WebDataService&,
                                                    CVClientData::ClientSettings&,
                                                    CVCoreDataServices::AuthenticatedOperationType)
{
    return mOnUserInterfaceThread([this] {
        mRecord("prompt");
        return false;
    }, false);
}

bool ScriptedUserInterface::DisplayJobMessage(UIMessage& message)
{
    return mOnUserInterfaceThread([&] {
        mRecord("message", message.Title, message.Message, message.Type, message.CancellationReason,
                message.CustomEventMessage);
        if (mMessageAnswers.empty())
            return true;
        bool answer = mMessageAnswers.front();
        mMessageAnswers.pop_front();
        return answer;
    }, false);
}

bool ScriptedUserInterface::ShowPopup(ClientJob& job, CVClientData::WebDataService&, CVClientData::ClientSettings&)
{
    bool fail = false;
    bool answered = mOnUserInterfaceThread([&] {
        mRecord("popup", job.DocumentName);
        if (mDuringPopups)
            mDuringPopups();
        PopupAnswer answer;
        if (!mPopupAnswers.empty()) {
            answer = mPopupAnswers.front();
            mPopupAnswers.pop_front();
        }
        if (answer.edit)
            answer.edit(job);
        if (answer.snooze)
            job.Options.DelayedJob = true;
        fail = answer.fail;
        return answer.print || answer.snooze;
    }, false);
    if (fail)
        throw std::runtime_error("the pop-up failed");
    return answered;
}

bool ScriptedUserInterface::ShowPendingJobsPopup(CVClientData::PendingJobList& jobs, CVClientData::WebDataService&,
                                                 const CVClientData::ClientSettings&)
{
    return mOnUserInterfaceThread([&] {
        mRecord("pendingPopup", "", "", static_cast<int32_t>(jobs.size()));
        if (mDuringPendingPopups)
            mDuringPendingPopups(jobs);
        return true;
    }, false);
}

void ScriptedUserInterface::BatchStarted()
{
    mOnUserInterfaceThread([this] {
        mRecord("batchStarted");
        return true;
    }, false);
}

void ScriptedUserInterface::BatchEnded()
{
    mOnUserInterfaceThread([this] {
        mRecord("batchEnded");
        return true;
    }, false);
}

void ScriptedUserInterface::HavePendingJobs(CVCoreDataServices::PendingJobsType type)
{
    mOnUserInterfaceThread([this, type] {
        mRecord("pending", "", "", static_cast<int32_t>(type));
        return true;
    }, false);
}

void ScriptedUserInterface::SetUsingBalances(bool) {}

std::string ScriptedUserInterface::GetProductName()
{
    return "Quorvel";
}

std::string ScriptedUserInterface::GetLocalizedString(CVCoreDataServices::CVLocalizedStringType)
{
    return std::string();
}

void ScriptedUserInterface::DisplaySecureMessage(UIMessage& message)
{
    mOnUserInterfaceThread([&] {
        mRecord("secure", message.Title, message.Message, message.Type, message.CancellationReason);
        return true;
    }, false);
}

// Work queued but not begun is dropped; work under way finishes.
void ScriptedUserInterface::CancelWaitsForShutdown()
{
    std::lock_guard lock(mLock);
    mblnCancelled = true;
    for (const std::shared_ptr<Pending>& pending : mQueue)
        pending->dropped = true;
    mQueue.clear();
    mWake.notify_all();
}

bool ScriptedUserInterface::mOnUserInterfaceThread(const std::function<bool()>& work, bool closed)
{
    if (std::this_thread::get_id() == mThread.get_id())
        return work();
    bool result = closed;
    auto pending = std::make_shared<Pending>();
    pending->work = [&] { result = work(); };
    std::unique_lock lock(mLock);
    if (mblnCancelled || mblnStopping)
        return closed;
    mQueue.push_back(pending);
    mWake.notify_all();
    mWake.wait(lock, [&] { return pending->done || pending->dropped; });
    return pending->done ? result : closed;
}

void ScriptedUserInterface::mRecord(std::string kind, std::string title, std::string text, int32_t type,
                                    int32_t reason, std::string event)
{
    std::lock_guard lock(mCallsLock);
    mvecCalls.push_back({std::move(kind), std::move(title), std::move(text), type, reason, std::move(event)});
}

// The user-interface thread: one call at a time, in the order they came.
void ScriptedUserInterface::mServe()
{
    std::unique_lock lock(mLock);
    for (;;) {
        mWake.wait(lock, [this] { return mblnStopping || !mQueue.empty(); });
        if (mQueue.empty())
            return;
        std::shared_ptr<Pending> pending = mQueue.front();
        mQueue.pop_front();
        lock.unlock();
        pending->work();
        lock.lock();
        pending->done = true;
        mWake.notify_all();
    }
}

}  // namespace PipelineTests
