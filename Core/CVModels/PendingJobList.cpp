#include "Core/CVModels/PendingJobList.h"

#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"

#include <utility>

using Log = ComponentLog<LogComponents::CoreGeneral>;

namespace CVClientData {

// An empty list.
PendingJobList::PendingJobList()
{
    Log::Debug("Constructor");
}

// Deletes the jobs still held.
PendingJobList::~PendingJobList()
{
    Log::Debug("Destructor");
}

// Keeps the job unless it is null.
void PendingJobList::mAppend(std::unique_ptr<ClientJob> job)
{
    if (job)
        mvecJobs.push_back(std::move(job));
}

// Appends a copy, so later changes to the caller's job do not reach the list.
void PendingJobList::Add(const ClientJob& job)
{
    DebugScope scope(LogComponents::CoreGeneral, "Add");
    mAppend(std::make_unique<ClientJob>(job));
}

// Takes the job over.
void PendingJobList::Add(std::unique_ptr<ClientJob> job)
{
    DebugScope scope(LogComponents::CoreGeneral, "Add");
    mAppend(std::move(job));
}

// Appends a copy of every job.
void PendingJobList::Add(const std::vector<ClientJob>& jobs)
{
    DebugScope scope(LogComponents::CoreGeneral, "Add");
    for (const ClientJob& job : jobs)
        Add(job);
}

// Takes every job over.
void PendingJobList::Add(std::vector<std::unique_ptr<ClientJob>> jobs)
{
    DebugScope scope(LogComponents::CoreGeneral, "Add");
    for (std::unique_ptr<ClientJob>& job : jobs)
        Add(std::move(job));
}

// Deletes the job at the position and closes the gap.
PendingJobList::iterator PendingJobList::EraseIttr(iterator position)
{
    DebugScope scope(LogComponents::CoreGeneral, "EraseIttr");
    // The end is no entry: erasing it would be undefined, so nothing happens.
    iterator next = position == mvecJobs.end() ? position : mvecJobs.erase(position);
    return next;
}

// Deletes every job and empties the list.
void PendingJobList::Clear()
{
    DebugScope scope(LogComponents::CoreGeneral, "Clear");
    mvecJobs.clear();
}

}  // namespace CVClientData
