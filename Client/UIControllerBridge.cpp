#include "Client/UIControllerBridge.h"

#include "Client/ApplicationController.h"
#include "CoreLogger/ComponentLog.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <utility>

namespace {

using Log = ComponentLog<LogComponents::ClientUserInterface>;

}  // namespace

UIControllerBridge::UIControllerBridge(ApplicationController& controller)
    : mController(controller), mstrProductName(controller.getProductName().toStdString())
{
    Log::Debug("UIControllerBridge");
}

UIControllerBridge::~UIControllerBridge()
{
    Log::Debug("~UIControllerBridge");
}

bool UIControllerBridge::PromptForAuthentication(CVClientData::User& user, CVClientData::WebDataService& service,
                                                 CVClientData::ClientSettings& settings,
                                                 CVCoreDataServices::AuthenticatedOperationType operation)
{
    return mHandOver.Call<bool>(
        Kind::Window,
        [&] {
            Log::Debug("Prompting for authentication on main thread.");
            return mController.promptForAuthentication(user, service, settings, operation);
        },
        false);
}

bool UIControllerBridge::DisplayJobMessage(UIMessage& message)
{
    return mHandOver.Call<bool>(
        Kind::Window,
        [&] {
            Log::Debug("Displaying job message on main thread.");
            return mController.displayJobMessage(message);
        },
        false);
}

bool UIControllerBridge::ShowPopup(ClientJob& job, CVClientData::WebDataService& service,
                                   CVClientData::ClientSettings& settings)
{
    return mHandOver.Call<bool>(
        Kind::Window,
        [&] {
            Log::Debug("Displaying popup for job on main thread.");
            return mController.showPopupForJob(job, service, settings);
        },
        false);
}

bool UIControllerBridge::ShowPendingJobsPopup(CVClientData::PendingJobList& jobs, CVClientData::WebDataService& service,
                                              const CVClientData::ClientSettings& settings)
{
    return mHandOver.Call<bool>(
        Kind::Window,
        [&] {
            Log::Debug("Displaying pending popup for job on main thread.");
            return mController.showPendingPopupForJobs(jobs, service, settings);
        },
        false);
}

void UIControllerBridge::BatchStarted()
{
    mNotice([this] { mController.batchStarted(); });
}

void UIControllerBridge::BatchEnded()
{
    mNotice([this] { mController.batchEnded(); });
}

void UIControllerBridge::HavePendingJobs(CVCoreDataServices::PendingJobsType type)
{
    mNotice([this, type] { mController.setPendingJobType(type); });
}

void UIControllerBridge::SetUsingBalances(bool usingBalances)
{
    mNotice([this, usingBalances] { mController.setIsUsingBalances(usingBalances); });
}

std::string UIControllerBridge::GetProductName()
{
    return mHandOver.Call<std::string>(
        Kind::Notice, [this] { return mController.getProductName().toStdString(); }, mstrProductName);
}

// Only reads the string table, which is safe on any thread.
std::string UIControllerBridge::GetLocalizedString(CVCoreDataServices::CVLocalizedStringType type)
{
    if (type != CVCoreDataServices::CVLocalizedStringDisconnectedJobAllowed)
        return std::string();
    return Platform::LocalizedStrings::Text(QStringLiteral("Client_Disconnected_Job_Allowed_Message")).toStdString();
}

void UIControllerBridge::DisplaySecureMessage(UIMessage& message)
{
    mHandOver.Call<bool>(
        Kind::Window,
        [&] {
            Log::Debug("Displaying Secure message on main thread.");
            mController.displaySecureMessage(message);
            return true;
        },
        false);
}

void UIControllerBridge::CancelWaitsForShutdown()
{
    mHandOver.Cancel();
}

void UIControllerBridge::CancelWaitOf(std::thread::id caller)
{
    mHandOver.CancelCallsOf(caller);
}

void UIControllerBridge::mNotice(std::function<void()> work)
{
    mHandOver.Call<bool>(
        Kind::Notice,
        [&] {
            work();
            return true;
        },
        false);
}
