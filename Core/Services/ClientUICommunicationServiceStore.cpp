#include "Core/Services/ClientUICommunicationService.h"

#include "CoreLogger/ComponentLog.h"

// The controller's side of the disconnected-job store. The store is called
// without the controller's locks: it talks to the server and to the user
// interface, and guards its own state. Without a store nothing is stored,
// so there is nothing to submit, clear or count.

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreClientCommunication>;

void ClientUICommunicationService::DeleteDisconnectedJobs()
{
    if (mDisconnectedJobs)
        mDisconnectedJobs->DeleteAllJobs();
}

void ClientUICommunicationService::ClearPendingJobs()
{
    if (mDisconnectedJobs)
        mDisconnectedJobs->ClearPendingJobsList();
}

// Makes the user the last user under the users lock; returns who is then
// logged in, and the settings, for a store call made after the lock is gone.
std::shared_ptr<const CVClientData::User>
ClientUICommunicationService::mSetLastUserForStore(const CVClientData::User& user,
                                                   CVClientData::ClientSettings& settings)
{
    UsersLock lock(*this);
    mSetLastUserNoLock(user, false);
    settings = mClientSettings;
    return mLoggedInUser;
}

// Only a user left logged in (authentication by the workstation's login)
// has the stored jobs submitted in their name.
void ClientUICommunicationService::HandleAllDisconnectedJobs(const CVClientData::User& user)
{
    CVClientData::ClientSettings settings;
    std::shared_ptr<const CVClientData::User> loggedIn = mSetLastUserForStore(user, settings);
    if (loggedIn && mDisconnectedJobs)
        mDisconnectedJobs->HandleDisconnectedJobs(*loggedIn, settings);
}

void ClientUICommunicationService::UpdateSnoozedJobs(const CVClientData::User& user)
{
    CVClientData::ClientSettings settings;
    std::shared_ptr<const CVClientData::User> loggedIn = mSetLastUserForStore(user, settings);
    if (loggedIn && mDisconnectedJobs)
        mDisconnectedJobs->UpdateDueToSnooze(*loggedIn, settings);
}

bool ClientUICommunicationService::CurrentDisconnectedJobsExceedLimit(int n)
{
    return mDisconnectedJobs && mDisconnectedJobs->HasMoreJobsThan(n);
}

unsigned int ClientUICommunicationService::CountPendingJobs()
{
    return mDisconnectedJobs ? mDisconnectedJobs->GetNumberOfPendingJobs() : 0;
}

// From the Dock menu, on the main thread.
void ClientUICommunicationService::ShowPendingJobsPopup()
{
    if (!mDisconnectedJobs) {
        Log::Debug("ShowPendingJobsPopup - no store of pending jobs; nothing to show.");
        return;
    }
    CVClientData::ClientSettings settings;
    {
        UsersLock lock(*this);
        settings = mClientSettings;
    }
    mDisconnectedJobs->ShowPendingJobsPopup(settings);
}

}  // namespace CVCoreDataServices
