#include "Core/CVModels/LocalFiles/SecureFileHandler.h"

#include "Common/StringFormat.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"
#include "Platform/FileSystemRoot.h"
#include "Platform/Folders.h"
#include "Platform/ScopedDescriptor.h"
#include "Platform/SealedFile.h"
#include "Platform/UserAccount.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using Log = ComponentLog<LogComponents::Secure>;
using CupsLog = ComponentLog<LogComponents::CoreCups>;

namespace {

// Longer ids are not CUPS job ids; the limit keeps names short and sane.
constexpr size_t MaximumJobIdLength = 10;

// True for a job id that can name a file; logs the refusal otherwise.
template <LogComponents Component>
bool AcceptJobId(const std::string& jobId)
{
    if (SecureFileHandler::IsValidJobId(jobId))
        return true;
    ComponentLog<Component>::Error("Not a job id: \"%s\"", jobId);
    return false;
}

}  // namespace

SecureFileHandler::SecureFileHandler(const std::string& jobOwner)
    : mstrFolder(Platform::FolderPath(Platform::Folder::SystemData)), mstrJobOwner(jobOwner)
{
    Log::Debug("Cache dir: %s", mstrFolder);
}

SecureFileHandler::~SecureFileHandler()
{
    if (mintSealedCopy >= 0)
        ::close(mintSealedCopy);
}

int SecureFileHandler::TakeSealedCopy()
{
    return std::exchange(mintSealedCopy, -1);
}

namespace {

// Writes all bytes to a descriptor.
bool WriteAll(int descriptor, std::span<const unsigned char> bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes = bytes.subspan(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

bool SecureFileHandler::IsValidJobId(const std::string& jobId)
{
    return !jobId.empty() && jobId.size() <= MaximumJobIdLength
           && std::all_of(jobId.begin(), jobId.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string SecureFileHandler::ConstructFileName(const std::string& jobId) const
{
    std::string name = stringFormat(".Secure_%s.payload", jobId);
    Log::Debug("Secure payload file %s", name);
    return name;
}

std::string SecureFileHandler::GetFullPathToSecureFile(const std::string& jobId) const
{
    return stringFormat("%s/%s", mstrFolder, ConstructFileName(jobId));
}

std::string SecureFileHandler::GetCupsDataFilePath(const std::string& jobId) const
{
    std::string padded = jobId;
    if (padded.size() < 5)
        padded.insert(0, 5 - padded.size(), '0');
    return stringFormat("%s/d%s-001", Platform::HostPath(CupsSpoolFolder), padded);
}

// The job owner's ids, when the files are to be handed over.
std::optional<std::pair<uid_t, gid_t>> SecureFileHandler::mOwnerIds() const
{
    if (mstrJobOwner.empty() || geteuid() != 0)
        return std::nullopt;
    std::optional<Platform::UserAccount> account = Platform::LookupUser(mstrJobOwner);
    if (!account) {
        Log::Error("Unknown job owner %s; the file stays with the hook.", mstrJobOwner);
        return std::nullopt;
    }
    return std::make_pair(account->uid, account->gid);
}

// Copies the job's spool file into a fresh private payload file.
bool SecureFileHandler::CopyCupsDataFile(const std::string& jobId)
{
    if (!AcceptJobId<LogComponents::Secure>(jobId))
        return false;
    std::string source = GetCupsDataFilePath(jobId);
    std::string destination = GetFullPathToSecureFile(jobId);
    Log::Debug("\n**********\nSource: %s\nDestination: %s\n", source, destination);

    if (!mFolderIsPrivate())
        return false;
    Platform::ScopedDescriptor input{::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW)};
    if (input.fd < 0) {
        Log::Error("Unable to open CUPS data file.  %s", std::strerror(errno));
        return false;
    }
    PrivateFileWriter output;
    if (!output.Open(destination, mOwnerIds())) {
        Log::Error("Unable to open destination data file. %s", output.GetError());
        return false;
    }
    std::string sealError;
    Platform::ScopedDescriptor sealed{Platform::CreateSealableFile("quorvel-job", sealError)};
    if (sealed.fd < 0)
        Log::Error("Unable to make the sealed copy of the job: %s", sealError);
    std::array<unsigned char, 64 * 1024> buffer;
    for (;;) {
        ssize_t got = ::read(input.fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            Log::Error("Unable to read CUPS data file.  %s", std::strerror(errno));
            return false;
        }
        if (got == 0)
            break;
        if (!output.Write(std::span(buffer.data(), static_cast<size_t>(got)))) {
            Log::Error("Unable to write destination data file. %s", output.GetError());
            return false;
        }
        if (sealed.fd >= 0 && !WriteAll(sealed.fd, std::span(buffer.data(), static_cast<size_t>(got)))) {
            Log::Error("Unable to write the sealed copy of the job: %s", std::strerror(errno));
            ::close(std::exchange(sealed.fd, -1));
        }
    }
    if (sealed.fd >= 0 && Platform::SealFile(sealed.fd, sealError)) {
        if (mintSealedCopy >= 0)
            ::close(mintSealedCopy);
        mintSealedCopy = std::exchange(sealed.fd, -1);
    } else if (sealed.fd >= 0) {
        Log::Error("Unable to seal the copy of the job: %s", sealError);
    }
    // The payload lives for its job only.
    if (!output.Commit(PrivateFileWriter::Durability::Cache)) {
        Log::Error("Unable to write destination data file. %s", output.GetError());
        return false;
    }
    Log::Debug("\n**********\n**********\n**********");
    return true;
}

// A folder that another user may write in lets them put a folder or a link
// at a job's name before the copy is made (the copy then fails and the job
// goes unsecured) or swap the copy afterwards.
bool SecureFileHandler::mFolderIsPrivate() const
{
    struct stat info {};
    if (::lstat(mstrFolder.c_str(), &info) != 0) {
        Log::Error("Unable to examine the folder %s: %s", mstrFolder, std::strerror(errno));
        return false;
    }
    if (!S_ISDIR(info.st_mode) || (info.st_uid != 0 && info.st_uid != geteuid()) || (info.st_mode & 022) != 0) {
        Log::Error("The folder %s is not a folder of root's that only root may write in (owner %u, mode %o); no "
                   "job copies are made there.",
                   mstrFolder, static_cast<unsigned>(info.st_uid), static_cast<unsigned>(info.st_mode & 07777));
        return false;
    }
    return true;
}

bool SecureFileHandler::WriteParsedData(const std::string& jobId, std::span<const unsigned char> data)
{
    if (!AcceptJobId<LogComponents::CoreCups>(jobId))
        return false;
    std::string path = stringFormat("%s/.parser_%s.parser", mstrFolder, jobId);
    CupsLog::Debug("Parser output file: %s", path);
    return WriteRawDataToFile(path, data);
}

// Appends to the dump this handler started, or starts a new one.
bool SecureFileHandler::WriteRawDataToFile(const std::string& path, std::span<const unsigned char> data)
{
    DebugScope scope(LogComponents::Secure, "WriteRawDataToFile");
    if (!mSettings.IsDebugLoggingOn())
        return true;
    bool ok = true;
    if (path != mstrDumpPath || !mDumpFile.IsOpen()) {
        // A dump that could not be started or written is not tried again.
        if (path == mstrDumpPath)
            return false;
        mDumpFile.Close();
        mstrDumpPath = path;
        if (!mFolderIsPrivate())
            return false;
        mPruneParserDumps();
        ok = mDumpFile.Open(path, mOwnerIds()) && mDumpFile.Commit();
    }
    ok = ok && mDumpFile.Write(data);
    if (ok) {
        Log::Debug("writing...");
    } else {
        Log::Error("Unable to write file. %s", mDumpFile.GetError());
        mDumpFile.Close();
    }
    return ok;
}

void SecureFileHandler::DeleteSecurePayload(const std::string& jobId)
{
    if (!AcceptJobId<LogComponents::Secure>(jobId))
        return;
    std::string path = GetFullPathToSecureFile(jobId);
    Log::Debug("Deleting file %s.", path);
    ::unlink(path.c_str());
}

// Keeps only the newest parser dumps. Debug logging is on by default, and each
// dump is a whole copy of a user's document: without a bound they would fill
// the disk and keep every document printed.
void SecureFileHandler::mPruneParserDumps() const
{
    std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> dumps;
    std::error_code error;
    std::filesystem::directory_iterator entry(mstrFolder, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        std::string name = entry->path().filename().string();
        if (!name.starts_with(".parser_") || !name.ends_with(".parser"))
            continue;
        std::error_code timeError;
        auto written = entry->last_write_time(timeError);
        if (!timeError)
            dumps.emplace_back(written, entry->path());
    }
    if (dumps.size() < kMaxParserDumps)
        return;
    std::sort(dumps.begin(), dumps.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    // Room for the dump about to be started.
    for (size_t i = kMaxParserDumps - 1; i < dumps.size(); ++i)
        ::unlink(dumps[i].second.c_str());
}

void SecureFileHandler::DeleteAllSecurePayloads()
{
    constexpr std::string_view suffix = ".payload";
    std::error_code error;
    std::filesystem::directory_iterator entry(mstrFolder, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        std::string name = entry->path().filename().string();
        size_t first = name.find(suffix);
        if (name.starts_with('.') && first != std::string::npos && first + suffix.size() == name.size())
            ::unlink(entry->path().c_str());
    }
}
