#include "tests/Support/ScriptedUserInterface.h"

#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/PendingJobList.h"
#include "Core/CVModels/UIMessage.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <stdexcept>
#include <utility>

namespace TestSupport {
namespace {

using Choice = ScriptedUserInterface::PopupAnswer::Choice;

// The words of the pop-up choices, in the order of Choice.
constexpr std::array<const char*, 4> kChoiceWords = {"print", "cancel", "snooze", "waiting"};

// Splits a comma-separated list; every item must be known to the reader.
template <typename Answer, typename Reader>
std::optional<std::vector<Answer>> ParseList(std::string_view text, Reader read)
{
    std::vector<Answer> answers;
    while (!text.empty()) {
        size_t comma = text.find(',');
        std::optional<Answer> answer = read(text.substr(0, comma));
        if (!answer)
            return std::nullopt;
        answers.push_back(*answer);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    if (answers.empty())
        return std::nullopt;
    return answers;
}

// The next answer of a script, or the one that follows it.
template <typename Answer>
Answer TakeNext(std::deque<Answer>& answers, const Answer& then)
{
    if (answers.empty())
        return then;
    Answer answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

}  // namespace

ScriptedUserInterface::PopupAnswer ScriptedUserInterface::PopupAnswer::Of(Choice choice)
{
    PopupAnswer answer;
    answer.choice = choice;
    return answer;
}

ScriptedUserInterface::PopupAnswer ScriptedUserInterface::PopupAnswer::Print(std::function<void(ClientJob&)> entries)
{
    PopupAnswer answer;
    answer.edit = std::move(entries);
    return answer;
}

ScriptedUserInterface::PopupAnswer ScriptedUserInterface::PopupAnswer::Failing()
{
    PopupAnswer answer;
    answer.fail = true;
    return answer;
}

ScriptedUserInterface::Call ScriptedUserInterface::Call::Of(std::string kind, std::string title, std::string answer)
{
    Call call;
    call.kind = std::move(kind);
    call.title = std::move(title);
    call.answer = std::move(answer);
    return call;
}

ScriptedUserInterface::Call ScriptedUserInterface::Call::Notice(std::string kind, int32_t state)
{
    Call call;
    call.kind = std::move(kind);
    call.type = state;
    return call;
}

ScriptedUserInterface::Call ScriptedUserInterface::Call::OfMessage(std::string kind, const UIMessage& message,
                                                                   std::string answer)
{
    Call call = Of(std::move(kind), message.Title, std::move(answer));
    call.text = message.Message;
    call.type = message.Type;
    call.reason = message.CancellationReason;
    call.event = message.CustomEventMessage;
    return call;
}

bool ScriptedUserInterface::Call::IsQuestion() const
{
    return kind == "prompt" || kind == "message" || kind == "popup" || kind == "pendingPopup" || kind == "secure";
}

std::string ScriptedUserInterface::Call::Line() const
{
    if (!IsQuestion()) {
        bool withState = kind == "pending" || kind == "usingBalances";
        return "notice " + kind + (withState ? " " + std::to_string(type) : std::string());
    }
    return kind + (title.empty() ? std::string() : " " + title) + ": " + answer;
}

std::optional<std::vector<ScriptedUserInterface::PopupAnswer>>
ScriptedUserInterface::ParsePopupAnswers(std::string_view text)
{
    return ParseList<PopupAnswer>(text, [](std::string_view word) -> std::optional<PopupAnswer> {
        if (word == "wait")
            return PopupAnswer::Wait();
        for (size_t choice = 0; choice + 1 < kChoiceWords.size(); ++choice)
            if (word == kChoiceWords[choice])
                return PopupAnswer::Of(static_cast<Choice>(choice));
        return std::nullopt;
    });
}

std::optional<std::vector<bool>> ScriptedUserInterface::ParseMessageAnswers(std::string_view text)
{
    return ParseList<bool>(text, [](std::string_view word) -> std::optional<bool> {
        if (word == "go" || word == "stop")
            return word == "go";
        return std::nullopt;
    });
}

ScriptedUserInterface::ScriptedUserInterface() : mMain([this] { mMainLoop(); }) {}

ScriptedUserInterface::~ScriptedUserInterface()
{
    {
        std::lock_guard lock(mLock);
        mblnStopping = true;
        mblnCancelled = true;
    }
    mChanged.notify_all();
    mMain.join();
}

// Runs queued work, one task at a time in the order it came, until the
// object goes.
void ScriptedUserInterface::mMainLoop()
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

// Work that has not begun when waits are cancelled is dropped, so that it
// never runs after its caller returned; work under way finishes first.
bool ScriptedUserInterface::mOnMain(std::function<void()> work, bool evenIfCancelled)
{
    if (std::this_thread::get_id() == mMain.get_id()) {
        work();
        return true;
    }
    auto task = std::make_shared<Task>();
    task->work = std::move(work);
    task->keep = evenIfCancelled;
    std::unique_lock lock(mLock);
    if (mblnStopping || (mblnCancelled && !evenIfCancelled))
        return false;
    mTasks.push_back(task);
    mChanged.notify_all();
    mChanged.wait(lock, [&] { return task->done || task->dropped; });
    return task->done;
}

void ScriptedUserInterface::RunOnMain(const std::function<void()>& work)
{
    mOnMain(work, true);
}

void ScriptedUserInterface::AnswerMessages(std::vector<bool> answers, bool then)
{
    RunOnMain([&] {
        mMessageAnswers.assign(answers.begin(), answers.end());
        mblnMessagesThen = then;
    });
}

void ScriptedUserInterface::AnswerPopups(std::vector<PopupAnswer> answers, PopupAnswer then)
{
    RunOnMain([&] {
        mPopupAnswers.assign(answers.begin(), answers.end());
        mPopupsThen = std::move(then);
    });
}

void ScriptedUserInterface::HoldQuestions()
{
    std::lock_guard lock(mLock);
    mblnHoldQuestions = true;
}

bool ScriptedUserInterface::mHolding() const
{
    std::lock_guard lock(mLock);
    return mblnHoldQuestions;
}

void ScriptedUserInterface::DuringPopups(std::function<void()> work)
{
    RunOnMain([&] { mDuringPopups = std::move(work); });
}

void ScriptedUserInterface::DuringPendingPopups(std::function<void(CVClientData::PendingJobList&)> choose)
{
    RunOnMain([&] { mDuringPendingPopups = std::move(choose); });
}

void ScriptedUserInterface::AfterNotices(std::function<void(const std::string&)> work)
{
    RunOnMain([&] { mAfterNotices = std::move(work); });
}

void ScriptedUserInterface::WriteCallsTo(std::string path)
{
    RunOnMain([&] { mstrLogPath = std::move(path); });
}

// Each line is appended with the file opened for it, so that the file is
// whole whenever another process reads it.
void ScriptedUserInterface::mRecord(Call call)
{
    std::lock_guard lock(mCallsLock);
    if (!mstrLogPath.empty()) {
        std::ofstream log(mstrLogPath, std::ios::app);
        log << call.Line() << '\n';
    }
    mvecCalls.push_back(std::move(call));
}

void ScriptedUserInterface::mNotice(Call call)
{
    mOnMain([&] {
        std::string kind = call.kind;
        mRecord(std::move(call));
        if (mAfterNotices)
            mAfterNotices(kind);
    });
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

size_t ScriptedUserInterface::CountOf(const std::string& kind, std::optional<int32_t> type) const
{
    std::vector<Call> calls = CallsOf(kind);
    return static_cast<size_t>(
        std::count_if(calls.begin(), calls.end(), [&](const Call& call) { return !type || call.type == *type; }));
}

std::vector<std::string> ScriptedUserInterface::Kinds() const
{
    std::vector<std::string> kinds;
    for (const Call& call : Calls())
        kinds.push_back(call.kind);
    return kinds;
}

void ScriptedUserInterface::ClearCalls()
{
    std::lock_guard lock(mCallsLock);
    mvecCalls.clear();
}

// Waits on the calling thread, not the main one, as a modal window's own
// event loop leaves the main thread free for other calls.
bool ScriptedUserInterface::mWaitForAnswer(const std::string& kind)
{
    auto question = std::make_shared<HeldQuestion>();
    question->kind = kind;
    question->caller = std::this_thread::get_id();
    std::unique_lock lock(mLock);
    if (mblnCancelled)
        return false;
    mHeld.push_back(question);
    mChanged.notify_all();
    mChanged.wait(lock, [&] { return question->answered || mblnCancelled; });
    std::erase(mHeld, question);
    return question->answered && question->answer;
}

bool ScriptedUserInterface::WaitForQuestions(size_t count, std::chrono::milliseconds limit) const
{
    std::unique_lock lock(mLock);
    return mChanged.wait_for(lock, limit, [&] {
        return static_cast<size_t>(std::count_if(mHeld.begin(), mHeld.end(),
                                                 [](const auto& question) { return !question->answered; })) >= count;
    });
}

std::vector<std::string> ScriptedUserInterface::Questions() const
{
    std::lock_guard lock(mLock);
    std::vector<std::string> kinds;
    for (const auto& question : mHeld)
        if (!question->answered)
            kinds.push_back(question->kind);
    return kinds;
}

void ScriptedUserInterface::AnswerOldest(bool answer)
{
    std::lock_guard lock(mLock);
    auto oldest = std::find_if(mHeld.begin(), mHeld.end(), [](const auto& question) { return !question->answered; });
    if (oldest != mHeld.end()) {
        (*oldest)->answered = true;
        (*oldest)->answer = answer;
    }
    mChanged.notify_all();
}

bool ScriptedUserInterface::PromptForAuthentication(CVClientData::User&, CVClientData::WebDataService&,
                                                    CVClientData::ClientSettings&,
                                                    CVCoreDataServices::AuthenticatedOperationType)
{
    bool hold = false;
    if (!mOnMain([&] {
            hold = mHolding();
            mRecord(Call::Of("prompt", "", hold ? "waiting" : "declined"));
        }))
        return false;
    return hold && mWaitForAnswer("prompt");
}

bool ScriptedUserInterface::DisplayJobMessage(UIMessage& message)
{
    bool hold = false;
    bool goOn = false;
    if (!mOnMain([&] {
            hold = mHolding();
            goOn = !hold && TakeNext(mMessageAnswers, mblnMessagesThen);
            mRecord(Call::OfMessage("message", message, hold ? "waiting" : goOn ? "go" : "stop"));
        }))
        return false;
    return hold ? mWaitForAnswer("message") : goOn;
}

bool ScriptedUserInterface::ShowPopup(ClientJob& job, CVClientData::WebDataService&, CVClientData::ClientSettings&)
{
    PopupAnswer answer = PopupAnswer::Wait();
    if (!mOnMain([&] {
            if (mDuringPopups)
                mDuringPopups();
            if (!mHolding())
                answer = TakeNext(mPopupAnswers, mPopupsThen);
            if (answer.edit)
                answer.edit(job);
            if (answer.choice == Choice::Snooze)
                job.Options.DelayedJob = true;
            mRecord(Call::Of("popup", job.DocumentName, kChoiceWords.at(static_cast<size_t>(answer.choice))));
        }))
        return false;
    if (answer.choice == Choice::Wait)
        return mWaitForAnswer("popup");
    if (answer.fail)
        throw std::runtime_error("the pop-up failed");
    return answer.choice != Choice::Cancel;
}

bool ScriptedUserInterface::ShowPendingJobsPopup(CVClientData::PendingJobList& jobs, CVClientData::WebDataService&,
                                                 const CVClientData::ClientSettings&)
{
    bool hold = false;
    if (!mOnMain([&] {
            hold = mHolding();
            if (!hold && mDuringPendingPopups)
                mDuringPendingPopups(jobs);
            Call call = Call::Of("pendingPopup", "", hold ? "waiting" : "shown");
            call.type = static_cast<int32_t>(jobs.size());
            mRecord(std::move(call));
        }))
        return false;
    return !hold || mWaitForAnswer("pendingPopup");
}

void ScriptedUserInterface::DisplaySecureMessage(UIMessage& message)
{
    bool hold = false;
    if (mOnMain([&] {
            hold = mHolding();
            mRecord(Call::OfMessage("secure", message, hold ? "waiting" : "shown"));
        }) &&
        hold)
        mWaitForAnswer("secure");
}

void ScriptedUserInterface::BatchStarted()
{
    mNotice(Call::Notice("batchStarted"));
}

void ScriptedUserInterface::BatchEnded()
{
    mNotice(Call::Notice("batchEnded"));
}

void ScriptedUserInterface::HavePendingJobs(CVCoreDataServices::PendingJobsType type)
{
    mNotice(Call::Notice("pending", static_cast<int32_t>(type)));
}

void ScriptedUserInterface::SetUsingBalances(bool usingBalances)
{
    mNotice(Call::Notice("usingBalances", usingBalances ? 1 : 0));
}

// Through the main thread, as the bridge reads its string table there; the
// work owns its result in case the caller has gone when it runs.
std::string ScriptedUserInterface::GetProductName()
{
    auto name = std::make_shared<std::string>();
    return mOnMain([name] { *name = "Quorvel Client"; }) ? *name : std::string();
}

std::string ScriptedUserInterface::GetLocalizedString(CVCoreDataServices::CVLocalizedStringType)
{
    return std::string();
}

// Work queued but not begun is dropped, unless it is the main thread's own;
// held questions are answered "closed".
void ScriptedUserInterface::CancelWaitsForShutdown()
{
    std::lock_guard lock(mLock);
    mblnCancelled = true;
    std::erase_if(mTasks, [](const std::shared_ptr<Task>& task) {
        task->dropped = !task->keep;
        return task->dropped;
    });
    mChanged.notify_all();
}

void ScriptedUserInterface::CancelWaitOf(std::thread::id caller)
{
    std::lock_guard lock(mLock);
    for (const auto& question : mHeld) {
        if (question->caller == caller && !question->answered) {
            question->answered = true;
            question->answer = false;
        }
    }
    mChanged.notify_all();
}

}  // namespace TestSupport
