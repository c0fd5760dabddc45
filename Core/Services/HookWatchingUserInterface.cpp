#include "Core/Services/HookWatchingUserInterface.h"

#include "Core/Services/HookConnection.h"
#include "Core/Services/IUIWaitCanceller.h"
#include "CoreLogger/ComponentLog.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreJobHandling>;

namespace {

// How often a gone hook's question is cancelled again, until the job thread
// is out of it: the watch may see the hook go just before the question is
// queued, when there is nothing to cancel yet.
constexpr int CancelAgainMs = 50;

// Watches the hook's connection while one question waits for the user, on a
// thread of its own; stops when it goes out of scope.
class HookWatch {
public:
    HookWatch(HookConnection& connection, IUIWaitCanceller* canceller, uint32_t jobId)
        : mConnection(connection), mCanceller(canceller), mCaller(std::this_thread::get_id()), mintJobId(jobId)
    {
        mintWakeFd = eventfd(0, EFD_CLOEXEC);
        if (mintWakeFd == -1) {
            Log::Error("JobHandler - the hook of job %u cannot be watched while the user answers: %s", jobId,
                       std::strerror(errno));
            return;
        }
        mThread = std::thread([this] { mWatch(); });
    }
    ~HookWatch()
    {
        if (mintWakeFd == -1)
            return;
        uint64_t one = 1;
        if (write(mintWakeFd, &one, sizeof one) != sizeof one)
            Log::Error("JobHandler - the watch of job %u's hook could not be stopped cleanly.", mintJobId);
        mThread.join();
        close(mintWakeFd);
    }
    HookWatch(const HookWatch&) = delete;
    HookWatch& operator=(const HookWatch&) = delete;

private:
    void mWatch()
    {
        // A quit shuts the connection down itself, after answering for the job.
        if (!mConnection.WaitUntilHookLeaves(mintWakeFd) || mConnection.ClientQuits())
            return;
        mConnection.MarkHookGone();
        Log::Info("JobHandler - the hook of job %u has gone while the job waited for the user (the job was cancelled "
                  "in CUPS, or the hook ended); the job's window is closed as cancelled.",
                  mintJobId);
        if (mCanceller == nullptr)
            return;
        do
            mCanceller->CancelWaitOf(mCaller);
        while (!mWoken(CancelAgainMs));
    }
    bool mWoken(int waitMs) const
    {
        pollfd wake{mintWakeFd, POLLIN, 0};
        return poll(&wake, 1, waitMs) > 0;
    }

    HookConnection& mConnection;
    IUIWaitCanceller* const mCanceller;
    const std::thread::id mCaller;
    const uint32_t mintJobId;
    int mintWakeFd = -1;
    std::thread mThread;
};

}  // namespace

HookWatchingUserInterface::HookWatchingUserInterface(IUIController& userInterface, HookConnection& connection,
                                                     uint32_t jobId)
    : mUserInterface(userInterface),
      mCanceller(dynamic_cast<IUIWaitCanceller*>(&userInterface)),
      mConnection(connection),
      mintJobId(jobId)
{
}

// A question asked after the final answer is not watched; one whose hook
// went while it waited ends the job.
template <typename Question>
bool HookWatchingUserInterface::mWatched(Question question)
{
    if (mConnection.HasAnswered())
        return question();
    bool answer = false;
    {
        HookWatch watch(mConnection, mCanceller, mintJobId);
        answer = question();
    }
    if (mConnection.HookHasGone())
        throw HookGone{};
    return answer;
}

bool HookWatchingUserInterface::PromptForAuthentication(CVClientData::User& user,
                                                        CVClientData::WebDataService& service,
                                                        CVClientData::ClientSettings& settings,
                                                        AuthenticatedOperationType operation)
{
    return mWatched([&] { return mUserInterface.PromptForAuthentication(user, service, settings, operation); });
}

bool HookWatchingUserInterface::DisplayJobMessage(UIMessage& message)
{
    return mWatched([&] { return mUserInterface.DisplayJobMessage(message); });
}

bool HookWatchingUserInterface::ShowPopup(ClientJob& job, CVClientData::WebDataService& service,
                                          CVClientData::ClientSettings& settings)
{
    return mWatched([&] { return mUserInterface.ShowPopup(job, service, settings); });
}

bool HookWatchingUserInterface::ShowPendingJobsPopup(CVClientData::PendingJobList& jobs,
                                                     CVClientData::WebDataService& service,
                                                     const CVClientData::ClientSettings& settings)
{
    return mWatched([&] { return mUserInterface.ShowPendingJobsPopup(jobs, service, settings); });
}

void HookWatchingUserInterface::BatchStarted()
{
    mUserInterface.BatchStarted();
}

void HookWatchingUserInterface::BatchEnded()
{
    mUserInterface.BatchEnded();
}

void HookWatchingUserInterface::HavePendingJobs(PendingJobsType type)
{
    mUserInterface.HavePendingJobs(type);
}

void HookWatchingUserInterface::SetUsingBalances(bool usingBalances)
{
    mUserInterface.SetUsingBalances(usingBalances);
}

std::string HookWatchingUserInterface::GetProductName()
{
    return mUserInterface.GetProductName();
}

std::string HookWatchingUserInterface::GetLocalizedString(CVLocalizedStringType type)
{
    return mUserInterface.GetLocalizedString(type);
}

void HookWatchingUserInterface::DisplaySecureMessage(UIMessage& message)
{
    mWatched([&] {
        mUserInterface.DisplaySecureMessage(message);
        return true;
    });
}

}  // namespace CVCoreDataServices
