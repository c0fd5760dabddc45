#include "Common/PrivateFileWriter.h"

#include "Common/StringFormat.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

PrivateFileWriter::~PrivateFileWriter()
{
    Close();
}

// Records why an operation failed, with the system's error text.
bool PrivateFileWriter::mFail(const char* operation)
{
    mstrError = stringFormat("%s %s: %s", operation, mstrTargetPath, std::strerror(errno));
    return false;
}

// Creates the temporary file beside the target with mode 0600.
bool PrivateFileWriter::Open(const std::string& targetPath, std::optional<std::pair<uid_t, gid_t>> owner)
{
    Close();
    mstrTargetPath = targetPath;
    mblnCommitted = false;
    mstrError.clear();

    // The temporary name starts with the target's own name, so that it sorts
    // beside it, and ends in random letters, so that no reader of the folder
    // takes it for a finished file.
    std::string pattern = targetPath + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return mFail("Unable to create a file beside");
    mintFd = fd;
    mstrTempPath = name.data();

    if (fchmod(mintFd, S_IRUSR | S_IWUSR) != 0)
        return mFail("Unable to set the mode of");
    if (owner && geteuid() == 0 && fchown(mintFd, owner->first, owner->second) != 0)
        return mFail("Unable to hand over");
    return true;
}

bool PrivateFileWriter::Holds(const std::string& targetPath, std::span<const unsigned char> data)
{
    int fd = ::open(targetPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    bool same = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid() && info.st_nlink == 1
                && (info.st_mode & 07777) == (S_IRUSR | S_IWUSR) && static_cast<size_t>(info.st_size) == data.size();
    std::vector<unsigned char> held(same ? data.size() : 0);
    size_t done = 0;
    while (same && done < held.size()) {
        ssize_t got = ::read(fd, held.data() + done, held.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            same = false;
        else
            done += static_cast<size_t>(got);
    }
    ::close(fd);
    return same && std::equal(held.begin(), held.end(), data.begin(), data.end());
}

// Writes every byte, going on after short writes and interruptions.
bool PrivateFileWriter::Write(std::span<const unsigned char> data)
{
    if (mintFd < 0) {
        errno = EBADF;
        return mFail("Unable to write");
    }
    while (!data.empty()) {
        ssize_t written = ::write(mintFd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return mFail("Unable to write");
        }
        data = data.subspan(static_cast<size_t>(written));
    }
    return true;
}

// Moves the finished file over the target.
bool PrivateFileWriter::Commit(Durability durability)
{
    if (mintFd < 0) {
        errno = EBADF;
        return mFail("Unable to commit");
    }
    if (mblnCommitted)
        return true;
    if (durability == Durability::Flushed && fsync(mintFd) != 0)
        return mFail("Unable to flush");
    if (std::rename(mstrTempPath.c_str(), mstrTargetPath.c_str()) != 0)
        return mFail("Unable to move into place");
    mblnCommitted = true;
    // The new name is on the disk only once its folder is.
    if (durability == Durability::Flushed && !mSyncFolder()) {
        int saved = errno;
        ::unlink(mstrTargetPath.c_str());
        errno = saved;
        return mFail("Unable to flush the folder of");
    }
    return true;
}

bool PrivateFileWriter::mSyncFolder() const
{
    std::string folder = mstrTargetPath.substr(0, mstrTargetPath.find_last_of('/') + 1);
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool synced = fsync(fd) == 0;
    int saved = errno;
    ::close(fd);
    errno = saved;
    return synced;
}

// Releases the descriptor and removes what was never committed.
void PrivateFileWriter::Close()
{
    if (mintFd >= 0) {
        ::close(mintFd);
        mintFd = -1;
    }
    if (!mblnCommitted && !mstrTempPath.empty())
        ::unlink(mstrTempPath.c_str());
    mstrTempPath.clear();
}
