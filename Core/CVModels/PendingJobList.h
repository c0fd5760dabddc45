#pragma once

#include "Core/CVModels/ClientJob.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace CVClientData {

// The user's pending (snoozed) jobs as the server lists them, in order. The
// list owns its jobs: they die when they are erased, cleared or the list
// goes. It never holds a null entry.
class PendingJobList {
public:
    using Entries = std::vector<std::unique_ptr<ClientJob>>;
    using iterator = Entries::iterator;
    using const_iterator = Entries::const_iterator;

    PendingJobList();
    ~PendingJobList();
    PendingJobList(const PendingJobList&) = delete;
    PendingJobList& operator=(const PendingJobList&) = delete;

    // Appends an independent copy of the job.
    void Add(const ClientJob& job);
    // Appends the job and owns it from then on; a null job is not added.
    void Add(std::unique_ptr<ClientJob> job);
    // Appends a copy of each job, in order.
    void Add(const std::vector<ClientJob>& jobs);
    // Appends and owns each job, in order; null jobs are not added.
    void Add(std::vector<std::unique_ptr<ClientJob>> jobs);

    // Removes and deletes the job at the position; the others keep their
    // order. Answers the position of the job that followed it. The end
    // position erases nothing and is answered as it is.
    iterator EraseIttr(iterator position);

    // Deletes every job.
    void Clear();

    size_t size() const { return mvecJobs.size(); }
    bool empty() const { return mvecJobs.empty(); }
    iterator begin() { return mvecJobs.begin(); }
    iterator end() { return mvecJobs.end(); }
    const_iterator begin() const { return mvecJobs.begin(); }
    const_iterator end() const { return mvecJobs.end(); }

private:
    // Appends one job without the operation's log lines.
    void mAppend(std::unique_ptr<ClientJob> job);

    Entries mvecJobs;
};

}  // namespace CVClientData
