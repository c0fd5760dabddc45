#include "tests/JobController/ScriptedUI.h"

#include "Core/CVModels/UIMessage.h"

#include <algorithm>

namespace JobControllerTests {

ScriptedUI::ScriptedUI() : mMain([this] { mMainLoop(); }) {}

ScriptedUI::~ScriptedUI()
{
    {
        std::lock_guard lock(mLock);
        mblnStopping = true;
        mblnCancelled = true;
    }
    mChanged.notify_all();
    mMain.join();
}

// Runs queued work until the object goes.
void ScriptedUI::mMainLoop()
{
    std::unique_lock lock(mLock);
    for (;;) {
        mChanged.wait(lock, [&] { return mblnStopping || !mTasks.empty(); });
        if (mTasks.empty())
            return;
        std::shared_ptr<Task> task = mTasks.front();
        mTasks.pop_front();
        lock.unlock();
        task->work();
        lock.lock();
        task->done = true;
        mChanged.notify_all();
    }
}

bool ScriptedUI::mOnMain(std::function<void()> work)
{
    if (std::this_thread::get_id() == mMain.get_id()) {
        work();
        return true;
    }
    auto task = std::make_shared<Task>();
    task->work = std::move(work);
    std::unique_lock lock(mLock);
    if (mblnCancelled)
        return false;
    mTasks.push_back(task);
    mChanged.notify_all();
    mChanged.wait(lock, [&] { return task->done || mblnCancelled; });
    return task->done;
}

void ScriptedUI::RunOnMain(const std::function<void()>& work)
{
    // Test work runs even after the waits were cancelled: it is the main
    // thread's own work, not a call that waits for it.
    if (std::this_thread::get_id() == mMain.get_id()) {
        work();
        return;
    }
    auto task = std::make_shared<Task>();
    task->work = work;
    std::unique_lock lock(mLock);
    mTasks.push_back(task);
    mChanged.notify_all();
    mChanged.wait(lock, [&] { return task->done; });
}

void ScriptedUI::SetOnNotice(std::function<void(const std::string&)> work)
{
    std::lock_guard lock(mLock);
    mOnNotice = std::move(work);
}

void ScriptedUI::mNotice(const std::string& event)
{
    mOnMain([this, event] {
        std::function<void(const std::string&)> onNotice;
        {
            std::lock_guard lock(mLock);
            mEvents.push_back(event);
            onNotice = mOnNotice;
        }
        if (onNotice)
            onNotice(event);
    });
}

std::vector<std::string> ScriptedUI::Events() const
{
    std::lock_guard lock(mLock);
    return mEvents;
}

size_t ScriptedUI::CountOf(const std::string& event) const
{
    std::lock_guard lock(mLock);
    return static_cast<size_t>(std::count(mEvents.begin(), mEvents.end(), event));
}

void ScriptedUI::ClearEvents()
{
    std::lock_guard lock(mLock);
    mEvents.clear();
}

bool ScriptedUI::mAsk(const std::string& name)
{
    auto question = std::make_shared<Question>();
    question->name = name;
    std::unique_lock lock(mLock);
    if (mblnCancelled)
        return false;
    mQuestions.push_back(question);
    mChanged.notify_all();
    mChanged.wait(lock, [&] { return question->answered || mblnCancelled; });
    std::erase(mQuestions, question);
    return question->answered && question->answer;
}

bool ScriptedUI::WaitForQuestions(size_t count, std::chrono::milliseconds limit) const
{
    std::unique_lock lock(mLock);
    return mChanged.wait_for(lock, limit, [&] {
        return std::count_if(mQuestions.begin(), mQuestions.end(), [](const auto& q) { return !q->answered; }) >=
               static_cast<std::ptrdiff_t>(count);
    });
}

std::vector<std::string> ScriptedUI::Questions() const
{
    std::lock_guard lock(mLock);
    std::vector<std::string> names;
    for (const auto& question : mQuestions)
        if (!question->answered)
            names.push_back(question->name);
    return names;
}

void ScriptedUI::AnswerOldest(bool answer)
{
    std::lock_guard lock(mLock);
    for (const auto& question : mQuestions) {
        if (!question->answered) {
            question->answered = true;
            question->answer = answer;
            break;
        }
    }
    mChanged.notify_all();
}

bool ScriptedUI::PromptForAuthentication(CVClientData::User&, CVClientData::WebDataService&,
                                         CVClientData::ClientSettings&, CVCoreDataServices::AuthenticatedOperationType)
{
    return mAsk("PromptForAuthentication");
}

bool ScriptedUI::DisplayJobMessage(UIMessage& message)
{
    return mAsk("DisplayJobMessage:" + message.Title);
}

bool ScriptedUI::ShowPopup(ClientJob&, CVClientData::WebDataService&, CVClientData::ClientSettings&)
{
    return mAsk("ShowPopup");
}

bool ScriptedUI::ShowPendingJobsPopup(CVClientData::PendingJobList&, CVClientData::WebDataService&,
                                      const CVClientData::ClientSettings&)
{
    return mAsk("ShowPendingJobsPopup");
}

void ScriptedUI::BatchStarted()
{
    mNotice("BatchStarted");
}

void ScriptedUI::BatchEnded()
{
    mNotice("BatchEnded");
}

void ScriptedUI::HavePendingJobs(CVCoreDataServices::PendingJobsType type)
{
    mNotice("PendingJobs:" + std::to_string(static_cast<int>(type)));
}

void ScriptedUI::SetUsingBalances(bool usingBalances)
{
    mNotice(usingBalances ? "UsingBalances:1" : "UsingBalances:0");
}

std::string ScriptedUI::GetProductName()
{
    // The work may run after a cancelled caller has gone: it owns its result.
    auto name = std::make_shared<std::string>();
    bool ran = mOnMain([name] { *name = "Quorvel Client"; });
    return ran ? *name : std::string();
}

// Stays on the calling thread, as the bridge's does.
std::string ScriptedUI::GetLocalizedString(CVCoreDataServices::CVLocalizedStringType)
{
    return std::string();
}

void ScriptedUI::DisplaySecureMessage(UIMessage& message)
{
    mAsk("DisplaySecureMessage:" + message.Title);
}

void ScriptedUI::CancelWaitsForShutdown()
{
    {
        std::lock_guard lock(mLock);
        mblnCancelled = true;
    }
    mChanged.notify_all();
}

}  // namespace JobControllerTests
