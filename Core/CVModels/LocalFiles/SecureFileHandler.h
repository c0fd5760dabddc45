#pragma once

#include "Common/PrivateFileWriter.h"
#include "Common/SettingsManager.h"

#include <optional>
#include <span>
#include <string>
#include <sys/types.h>
#include <utility>

// The system-wide support folder "/var/lib/quorvel" (under the filesystem
// root): the hook copies a job's CUPS spool file there for
// secure release and, with debug logging, dumps the raw data it parses; the
// client finds and uploads the copies, and the hook removes them once the
// client has answered. The folder belongs to root and no one else may write
// in it (mode 0711): the hook writes only into such a folder, so no other
// user can plant a file, folder or link at a job's name. Every file it writes
// holds a user's document, so it is private to the job's owner (mode 0600,
// handed to the owner when the hook runs as root) and never written through a
// link.
class SecureFileHandler {
public:
    // CUPS's request root on this platform, where the job's data file lies.
    static constexpr const char* CupsSpoolFolder = "/var/spool/cups";

    // jobOwner: the user name the job's files are handed to when the process
    // runs as root; empty keeps them with the writing process's user.
    explicit SecureFileHandler(const std::string& jobOwner = std::string());
    virtual ~SecureFileHandler();
    SecureFileHandler(const SecureFileHandler&) = delete;
    SecureFileHandler& operator=(const SecureFileHandler&) = delete;

    // ".Secure_<job id>.payload"
    std::string ConstructFileName(const std::string& jobId) const;
    // The payload file's full path in the support folder.
    std::string GetFullPathToSecureFile(const std::string& jobId) const;

    // Copies the job's CUPS data file "d<id padded to 5 digits>-001" to its
    // payload file, replacing an earlier copy; false with a log line on failure.
    // The same bytes also go into a sealed copy in memory (TakeSealedCopy).
    bool CopyCupsDataFile(const std::string& jobId);

    // The sealed copy of the last CopyCupsDataFile, once, for the caller to
    // close: the job's data as CUPS holds it, which its owner can change in
    // no way (the payload file is hers); -1 when there is none.
    int TakeSealedCopy();

    // Adds a chunk of parsed data to the job's dump ".parser_<job id>.parser",
    // only while debug logging is on. The first chunk this handler writes
    // starts a new dump; later ones are appended.
    bool WriteParsedData(const std::string& jobId, std::span<const unsigned char> data);
    bool WriteRawDataToFile(const std::string& path, std::span<const unsigned char> data);

    // Removes the job's payload file (a missing file is not reported).
    void DeleteSecurePayload(const std::string& jobId);
    // Removes every file whose name begins with "." and whose first ".payload"
    // is its end.
    void DeleteAllSecurePayloads();

    // The source spool path for a job id (exposed for the hook's log lines).
    std::string GetCupsDataFilePath(const std::string& jobId) const;

    // True for a job id that can name a file: decimal digits only.
    static bool IsValidJobId(const std::string& jobId);

    // How many parser dumps are kept; older ones are removed when a new one starts.
    static constexpr size_t kMaxParserDumps = 10;

private:
    std::optional<std::pair<uid_t, gid_t>> mOwnerIds() const;
    bool mFolderIsPrivate() const;
    void mPruneParserDumps() const;

    std::string mstrFolder;
    SettingsManager mSettings;
    std::string mstrJobOwner;
    // The dump being written: kept open so that later chunks append to it.
    std::string mstrDumpPath;
    PrivateFileWriter mDumpFile;
    int mintSealedCopy = -1;
};
