#include "tests/EndToEnd/HeadlessUserInterface.h"

#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/UIMessage.h"

#include <algorithm>
#include <fstream>
#include <utility>

namespace EndToEnd {

namespace {

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

}  // namespace

std::optional<std::vector<HeadlessUserInterface::PopupAnswer>>
HeadlessUserInterface::ParsePopupAnswers(std::string_view text)
{
    return ParseList<PopupAnswer>(text, [](std::string_view word) -> std::optional<PopupAnswer> {
        if (word == "print")
            return PopupAnswer::Print;
        if (word == "cancel")
            return PopupAnswer::Cancel;
        if (word == "wait")
            return PopupAnswer::Wait;
        return std::nullopt;
    });
}

std::optional<std::vector<bool>> HeadlessUserInterface::ParseMessageAnswers(std::string_view text)
{
    return ParseList<bool>(text, [](std::string_view word) -> std::optional<bool> {
        if (word == "go")
            return true;
        if (word == "stop")
            return false;
        return std::nullopt;
    });
}

HeadlessUserInterface::HeadlessUserInterface(Script script, std::string logPath)
    : mScript(std::move(script)), mstrLogPath(std::move(logPath))
{
}

bool HeadlessUserInterface::PromptForAuthentication(CVClientData::User&, CVClientData::WebDataService&,
                                                    CVClientData::ClientSettings&,
                                                    CVCoreDataServices::AuthenticatedOperationType)
{
    std::lock_guard question(mQuestionLock);
    mLog("prompt: declined");
    return false;
}

bool HeadlessUserInterface::DisplayJobMessage(UIMessage& message)
{
    std::lock_guard question(mQuestionLock);
    bool goOn = mNext(mScript.messages, mintMessagesAsked);
    mLog("message " + message.Title + ": " + (goOn ? "go" : "stop"));
    return goOn;
}

// A waiting pop-up stays open until shutdown closes it, as a window left
// open by the user does.
bool HeadlessUserInterface::ShowPopup(ClientJob& job, CVClientData::WebDataService&, CVClientData::ClientSettings&)
{
    std::lock_guard question(mQuestionLock);
    PopupAnswer answer = mNext(mScript.popups, mintPopupsAsked);
    switch (answer) {
    case PopupAnswer::Print:
        mLog("popup " + job.DocumentName + ": print");
        return true;
    case PopupAnswer::Cancel:
        mLog("popup " + job.DocumentName + ": cancel");
        return false;
    case PopupAnswer::Wait:
        break;
    }
    mLog("popup " + job.DocumentName + ": waiting");
    std::unique_lock state(mStateLock);
    mCancelled.wait(state, [this] { return mblnCancelled; });
    return false;
}

bool HeadlessUserInterface::ShowPendingJobsPopup(CVClientData::PendingJobList&, CVClientData::WebDataService&,
                                                 const CVClientData::ClientSettings&)
{
    std::lock_guard question(mQuestionLock);
    mLog("pending-popup");
    return true;
}

void HeadlessUserInterface::BatchStarted()
{
    mLog("notice batch started");
}

void HeadlessUserInterface::BatchEnded()
{
    mLog("notice batch ended");
}

void HeadlessUserInterface::HavePendingJobs(CVCoreDataServices::PendingJobsType type)
{
    mLog("notice pending-jobs " + std::to_string(static_cast<int>(type)));
}

void HeadlessUserInterface::SetUsingBalances(bool) {}

std::string HeadlessUserInterface::GetProductName()
{
    return "Quorvel";
}

std::string HeadlessUserInterface::GetLocalizedString(CVCoreDataServices::CVLocalizedStringType)
{
    return std::string();
}

void HeadlessUserInterface::DisplaySecureMessage(UIMessage& message)
{
    std::lock_guard question(mQuestionLock);
    mLog("secure " + message.Title);
}

void HeadlessUserInterface::CancelWaitsForShutdown()
{
    std::lock_guard state(mStateLock);
    mblnCancelled = true;
    mCancelled.notify_all();
}

template <typename Answer>
Answer HeadlessUserInterface::mNext(const std::vector<Answer>& answers, size_t& used)
{
    size_t index = std::min(used, answers.size() - 1);
    ++used;
    return answers.at(index);
}

// Appends one line; opened for each line so that the file is whole whenever
// it is read, and lines of notices never interleave.
void HeadlessUserInterface::mLog(const std::string& line)
{
    if (mstrLogPath.empty())
        return;
    std::lock_guard state(mStateLock);
    std::ofstream log(mstrLogPath, std::ios::app);
    log << line << '\n';
}

}  // namespace EndToEnd
