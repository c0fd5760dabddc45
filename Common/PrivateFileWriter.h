#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <sys/types.h>
#include <utility>

// Writes a file that only its owner may read (mode 0600) without trusting the
// folder it lands in. The data go to a fresh file of unpredictable name beside
// the target (created exclusively, so no link is ever followed) and Commit
// renames it over the target: a symbolic or hard link placed at the target's
// name is replaced, never written through, and readers see either the old
// file or the whole new one. A writer that is not committed removes its
// temporary file.
class PrivateFileWriter {
public:
    // What a committed file must survive.
    enum class Durability {
        // A crash of the machine: the data reach the disk before the file
        // replaces the old one (records kept nowhere else).
        Flushed,
        // A crash of the program only: the file replaces the old one at once,
        // without waiting for the disk. After a crash of the machine it may
        // be missing or damaged, and is read as such (caches of what the
        // server gives again, files that live for one job).
        Cache,
    };

    PrivateFileWriter() = default;
    ~PrivateFileWriter();
    PrivateFileWriter(const PrivateFileWriter&) = delete;
    PrivateFileWriter& operator=(const PrivateFileWriter&) = delete;

    // Starts the temporary file for a target path. When owner ids are given and
    // the process runs as root, the file is handed to that owner.
    bool Open(const std::string& targetPath, std::optional<std::pair<uid_t, gid_t>> owner = std::nullopt);

    // Writes all bytes, retrying short writes.
    bool Write(std::span<const unsigned char> data);

    // Flushes (as durability asks) and renames the file into place. The
    // descriptor stays open, so later writes append to the committed file.
    bool Commit(Durability durability = Durability::Flushed);

    // Closes the descriptor; an uncommitted temporary file is removed.
    void Close();

    bool IsOpen() const { return mintFd >= 0; }

    // Whether the target is already this process's private file (a regular
    // file of its own user, mode 0600, one name, no link at the path) with
    // exactly these bytes: writing them again would change nothing.
    static bool Holds(const std::string& targetPath, std::span<const unsigned char> data);

    // The text of the last failure, for the caller's log line.
    const std::string& GetError() const { return mstrError; }

private:
    bool mFail(const char* operation);
    bool mSyncFolder() const;

    int mintFd = -1;
    bool mblnCommitted = false;
    std::string mstrTargetPath;
    std::string mstrTempPath;
    std::string mstrError;
};
