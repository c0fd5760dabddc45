#pragma once

#include "Core/CVClientCommunication/ClientCommunicationChannel.h"
#include "Core/CVModels/ClientEnvironment.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/Job.h"
#include "Core/CVModels/User.h"

#include <memory>

namespace CVCoreDataServices {

// The client's job controller: one per client process, reached by the socket
// listener, by every job thread and by the windows. Every operation may be
// called from any of these threads; none is held across a whole job.
//
// Users are handed out as shared, read-only snapshots: a snapshot stays valid
// for as long as its holder keeps it, whatever the controller does meanwhile.
class IJobController {
public:
    virtual ~IJobController() = default;

    // Takes one connection that the listener accepted from a hook, on the
    // listener's thread, and returns at once: a thread of the connection's
    // own reads its first message and either answers and disconnects or
    // carries the job it announces. The channel now belongs to the
    // controller.
    virtual void HandleHookConnection(std::unique_ptr<ClientCommunicationChannel> channel) = 0;

    // Refreshes the client settings (and with them the logged-in user) from
    // the server and returns a copy; the cached settings when it is away.
    virtual CVClientData::ClientSettings GetClientSettings() = 0;

    // The environment the controller was made with; never changes.
    virtual const ClientEnvironment& GetEnvironment() const = 0;

    // Removes every stored disconnected job file.
    virtual void DeleteDisconnectedJobs() = 0;

    // Empties the list of pending (snoozed) jobs.
    virtual void ClearPendingJobs() = 0;

    // The logged-in user, or null when none is.
    virtual std::shared_ptr<const CVClientData::User> GetLoggedInUser() const = 0;

    // The user of the running batch, or null when none is held.
    virtual std::shared_ptr<const CVClientData::User> GetBatchUser() const = 0;

    // Whether the job joins the running batch (same user's batch, printer and
    // application, before the batch expires and, for a counted batch, while
    // jobs are left). When it does, the job's user takes the batch's user id
    // and batch mode; when it does not, the batch ends. preferBatchUser judges
    // by the batch user's mode rather than by the last job's user's.
    virtual bool DetermineBatchStatus(CVClientData::Job& job, bool preferBatchUser) = 0;

    // Makes the user the last user and, when that leaves a user logged in,
    // submits the stored disconnected jobs for them.
    virtual void HandleAllDisconnectedJobs(const CVClientData::User& user) = 0;

    // Makes the user the last user and, when that leaves a user logged in,
    // reloads their pending jobs after a job was snoozed.
    virtual void UpdateSnoozedJobs(const CVClientData::User& user) = 0;

    // Gives the job the comments, custom-field values and cost overrides of
    // the last printed job, and prices it again.
    virtual void CopyLastUsedValuesToJob(CVClientData::Job& job) = 0;

    // Ends the running batch, if any, and tells the user interface.
    virtual void CancelBatch() = 0;

    // Whether at least n pending jobs are held; always false for n = 0.
    virtual bool CurrentDisconnectedJobsExceedLimit(int n) = 0;

    // Records a job that was printed: its user becomes the last user, the job
    // the last print job, and the user's batch starts or goes on.
    virtual void HandledPrintJob(const CVClientData::Job& job) = 0;
    // The same, but the user is re-read from the server only by the
    // RefreshLastUser that the caller makes once the hook has its answer, so
    // that the printer need not wait for the server.
    virtual void HandledPrintJobBeforeUserRefresh(const CVClientData::Job& job) { HandledPrintJob(job); }
    virtual void RefreshLastUser(const CVClientData::User&) {}

    // The number of pending jobs held.
    virtual unsigned int CountPendingJobs() = 0;

    // The job's record is at the server or stored: the id is remembered from
    // now on, and a later run of the job (CUPS starts it again) prints
    // without a second record. False when the id was remembered before.
    virtual bool RememberJobId(uint32_t jobId) = 0;

    // Makes the user the logged-in user (re-read from the server first when
    // refresh is set) and caches them, when authentication is by the
    // workstation's login; with any other authentication no user stays
    // logged in.
    virtual void SetLastUser(const CVClientData::User& user, bool refresh) = 0;
};

}  // namespace CVCoreDataServices
