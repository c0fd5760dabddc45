#pragma once

#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/User.h"

namespace CVCoreDataServices {

// What the job controller asks of the store of disconnected jobs (kept on
// disk while the server was away) and of the pending-job list (jobs the user
// snoozed, kept on the server). The controller owns one store.
//
// The controller calls it without holding either of its own locks: the main
// thread and several job threads may call at once, so the store guards its
// own state, and it holds no lock of its own across an IUIController call
// (such a call waits for the main thread, which may be calling the store).
class IDisconnectedJobStore {
public:
    virtual ~IDisconnectedJobStore() = default;

    // At client start, with the cached logged-in user: submits the stored
    // jobs and loads the user's pending jobs.
    virtual void Initialize(const CVClientData::User& user, const CVClientData::ClientSettings& settings) = 0;

    // After a job that ran connected: submits the stored jobs and offers the
    // pending jobs when that changed them.
    virtual void HandleDisconnectedJobs(const CVClientData::User& user, const CVClientData::ClientSettings& settings) = 0;

    // After a job was snoozed: reloads the user's pending jobs.
    virtual void UpdateDueToSnooze(const CVClientData::User& user, const CVClientData::ClientSettings& settings) = 0;

    // From the Dock menu: shows the pending-jobs pop-up when jobs are pending.
    virtual void ShowPendingJobsPopup(const CVClientData::ClientSettings& settings) = 0;

    virtual void ClearPendingJobsList() = 0;
    // False for n = 0; else whether at least n pending jobs are held.
    virtual bool HasMoreJobsThan(int n) = 0;
    virtual unsigned int GetNumberOfPendingJobs() = 0;
    // Removes every stored disconnected job file.
    virtual void DeleteAllJobs() = 0;
};

}  // namespace CVCoreDataServices
