#include "Core/Services/DisconnectedJobHandler.h"

#include "Core/Services/CVDisconnectedJobOption.h"
#include "Core/Services/DisconnectedJobFiles.h"
#include "Core/Services/IUIController.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <limits>
#include <unistd.h>
#include <utility>

// The stored disconnected jobs: their submission and removal.

namespace CVCoreDataServices {

namespace fs = std::filesystem;
using Log = ComponentLog<LogComponents::CoreGeneral>;

namespace {

constexpr int64_t SecondsPerDay = 86400;

// The regular files of the folder whose names pass the test, in the folder's
// order (symbolic links are not followed); false when the folder cannot be
// read. A folder that fails part-way answers the names read so far.
template <typename NameTest>
bool ListFiles(const std::string& folder, NameTest passes, std::vector<std::string>& names)
{
    std::error_code error;
    fs::directory_iterator entry(folder, error);
    if (error)
        return false;
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::string name = entry->path().filename().string();
        std::error_code statusError;
        if (passes(name) && entry->symlink_status(statusError).type() == fs::file_type::regular)
            names.push_back(std::move(name));
    }
    return true;
}

}  // namespace

// An empty pending list; stored jobs are found in the folder when submitted.
DisconnectedJobHandler::DisconnectedJobHandler(IUIController& userInterface, std::string jobCacheFolder,
                                               CVClientData::WebDataService& webService,
                                               const CVClientData::IClock& clock)
    : mUIController(userInterface),
      mstrJobCacheFolder(std::move(jobCacheFolder)),
      mWebDataService(webService),
      mClock(clock),
      mPendingJobs(std::make_unique<CVClientData::PendingJobList>())
{
}

// Deletes the pending jobs held; stored job files stay.
DisconnectedJobHandler::~DisconnectedJobHandler() = default;

// At client start: the stored jobs go first, so that the pending list loaded
// next already reflects them.
void DisconnectedJobHandler::Initialize(const CVClientData::User& user, const CVClientData::ClientSettings& settings)
{
    // One client runs per user: jobs a client claimed and never finished
    // sending (it died) are no one's now.
    DisconnectedJobFiles::UnclaimAll(mstrJobCacheFolder);
    SubmitDisconnectedJobs(settings);
    LoadPendingJobsForUser(user, settings);
    if (mPendingListEmpty())
        return;
    {
        std::lock_guard lock(mStateLock);
        mblnPendingJobsShown = true;
    }
    mUIController.HavePendingJobs(PendingJobsDisconnected);
}

// One submission at a time: a second caller waits and then finds only the
// files the first one left.
bool DisconnectedJobHandler::SubmitDisconnectedJobs(const CVClientData::ClientSettings& settings)
{
    std::lock_guard submitting(mSubmitLock);
    Log::Debug("Check for disconnected jobs...");
    std::vector<std::string> names;
    if (!mListStoredJobs(names)) {
        Log::Debug("No disconnected jobs were found");
        return false;
    }

    bool removedAny = false;
    for (size_t index = 0; index < names.size(); ++index) {
        if (index == 0)
            Log::Debug("Disconnected job(s) found.  Start processing the disconnected job(s)...");
        // Claimed first, so that a job is sent once even when another
        // process of the user submits at the same time.
        std::string path = DisconnectedJobFiles::Claim(mstrJobCacheFolder + "/" + names[index]);
        if (path.empty())
            continue;
        ClientJob job;
        if (!mReadStoredJob(path, job))
            continue;
        if (!HandleSingleDisconnectedJob(job, settings, DisconnectedJobFiles::IsTakenAtQuitName(names[index]))) {
            if (!DisconnectedJobFiles::Unclaim(path))
                Log::Error("Disconnected job file %s could not be given back to the store: %s", path,
                           std::strerror(errno));
            continue;
        }
        mRemoveStoredJob(path);
        removedAny = true;
    }
    Log::Debug(removedAny ? "Pending job list needs refresh" : "No disconnected jobs were found");
    return removedAny;
}

// A job that is not sent now stays for the next submission: the server is
// away, refuses it, or authentication needs the user.
bool DisconnectedJobHandler::HandleSingleDisconnectedJob(ClientJob& job, const CVClientData::ClientSettings& settings,
                                                         bool takenAtQuit)
{
    if (!mWebDataService.CanReach())
        return false;
    if (!settings.IsAutomaticAuthentication()) {
        Log::Debug("Disconnected job kept: authentication type %d asks the user.", settings.AuthenticationType);
        return false;
    }
    // A job stored because the client quit was taken while the server
    // answered; what the settings say of jobs taken offline is not for it.
    int32_t option = settings.DisconnectedJobOption;
    if (takenAtQuit) {
        Log::Debug("Saving a job stored as the client quit");
        return mWebDataService.SaveDisconnectedJob(job);
    }
    if (option == CVDisconnectedJobPrintUntracked || option == CVDisconnectedJobCancel
        || (option == CVDisconnectedJobStoreWithAgeLimit && IsPastAgeLimit(job, settings))) {
        Log::Debug("Disconnected job is no longer being tracked.");
        return true;
    }
    Log::Debug("Saving disconnected job");
    return mWebDataService.SaveDisconnectedJob(job);
}

// The print date is a UTC date: timegm reads it as one, whatever the
// workstation's time zone.
bool DisconnectedJobHandler::IsPastAgeLimit(const CVClientData::Job& job,
                                            const CVClientData::ClientSettings& settings) const
{
    if (settings.DisconnectedJobsOldIn > static_cast<uint64_t>(std::numeric_limits<int64_t>::max() / SecondsPerDay))
        return false;
    std::tm printed = job.DatePrinted;
    int64_t printedAt = static_cast<int64_t>(timegm(&printed));
    int64_t age = static_cast<int64_t>(mClock.Now()) - printedAt;
    return age > static_cast<int64_t>(settings.DisconnectedJobsOldIn) * SecondsPerDay;
}

// Only regular files count; a name is taken as the folder gives it.
bool DisconnectedJobHandler::mListStoredJobs(std::vector<std::string>& names) const
{
    return ListFiles(mstrJobCacheFolder, DisconnectedJobFiles::IsStoredJobName, names);
}

// A file that vanished was removed by someone else and is passed over; a
// file that is there but cannot be read is moved aside for a person to look
// at: sending it would send a job of made-up values.
bool DisconnectedJobHandler::mReadStoredJob(const std::string& path, ClientJob& job) const
{
    if (job.LoadFromBinaryFile(path))
        return true;
    if (::access(path.c_str(), F_OK) != 0 && errno == ENOENT) {
        Log::Debug("Disconnected job %s was removed before it could be read.", path);
        return false;
    }
    // A claimed file is set aside under its own name.
    std::string original = path;
    if (path.ends_with(DisconnectedJobFiles::ClaimSuffix) && DisconnectedJobFiles::Unclaim(path))
        original = path.substr(0, path.size() - DisconnectedJobFiles::ClaimSuffix.size());
    std::string aside = DisconnectedJobFiles::SetAside(original);
    if (aside.empty())
        Log::Error("Disconnected job file %s cannot be read and could not be moved aside (%s); it is not sent.", original,
                   std::strerror(errno));
    else
        Log::Error("Disconnected job file %s cannot be read; it was moved aside to %s and is not sent.", original, aside);
    return false;
}

// Once a job was sent, a file that cannot be removed would send it again.
void DisconnectedJobHandler::mRemoveStoredJob(const std::string& path) const
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        Log::Error("Disconnected job file %s could not be removed: %s", path, std::strerror(errno));
}

// Removes the stored jobs whatever the server's state; files set aside are kept.
void DisconnectedJobHandler::DeleteAllJobs()
{
    Log::Debug(
        "DisconnectedJobHandler::DeleteAllDisconnectedJobs - about to delete all unprocessed disconnected jobs.");
    std::vector<std::string> names;
    ListFiles(mstrJobCacheFolder, DisconnectedJobFiles::IsRemovableJobName, names);
    for (const std::string& name : names)
        mRemoveStoredJob(mstrJobCacheFolder + "/" + name);
}

}  // namespace CVCoreDataServices
