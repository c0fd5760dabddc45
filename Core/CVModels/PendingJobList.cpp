#include "Core/CVModels/PendingJobList.h"

#include "CoreLogger/Logger.h"

#include <utility>

namespace CVClientData {

// An empty list.
PendingJobList::PendingJobList()
{
    Logger::Log_Debug(LogComponents::CoreGeneral, "Constructor");
}

// Deletes the jobs still held.
PendingJobList::~PendingJobList()
{
    Logger::Log_Debug(LogComponents::CoreGeneral, "Destructor");
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
    Logger::Log_Debug_Start(LogComponents::CoreGeneral, "Add");
    mAppend(std::make_unique<ClientJob>(job));
    Logger::Log_Debug_End(LogComponents::CoreGeneral, "Add");
}

// Takes the job over.
void PendingJobList::Add(std::unique_ptr<ClientJob> job)
{
    Logger::Log_Debug_Start(LogComponents::CoreGeneral, "Add");
    mAppend(std::move(job));
    Logger::Log_Debug_End(LogComponents::CoreGeneral, "Add");
}

// Appends a copy of every job.
void PendingJobList::Add(const std::vector<ClientJob>& jobs)
{
    Logger::Log_Debug_Start(LogComponents::CoreGeneral, "Add");
    for (const ClientJob& job : jobs)
        Add(job);
    Logger::Log_Debug_End(LogComponents::CoreGeneral, "Add");
}

// Takes every job over.
void PendingJobList::Add(std::vector<std::unique_ptr<ClientJob>> jobs)
{
    Logger::Log_Debug_Start(LogComponents::CoreGeneral, "Add");
    for (std::unique_ptr<ClientJob>& job : jobs)
        Add(std::move(job));
    Logger::Log_Debug_End(LogComponents::CoreGeneral, "Add");
}

// Deletes the job at the position and closes the gap.
PendingJobList::iterator PendingJobList::EraseIttr(iterator position)
{
    Logger::Log_Debug_Start(LogComponents::CoreGeneral, "EraseIttr");
    // The end is no entry: erasing it would be undefined, so nothing happens.
    iterator next = position == mvecJobs.end() ? position : mvecJobs.erase(position);
    Logger::Log_Debug_End(LogComponents::CoreGeneral, "EraseIttr");
    return next;
}

// Deletes every job and empties the list.
void PendingJobList::Clear()
{
    Logger::Log_Debug_Start(LogComponents::CoreGeneral, "Clear");
    mvecJobs.clear();
    Logger::Log_Debug_End(LogComponents::CoreGeneral, "Clear");
}

}  // namespace CVClientData
