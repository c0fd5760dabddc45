#include "CoreLogger/LogFile.h"

#include "Platform/ScopedDescriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CoreLogger {
namespace {

using Platform::ScopedDescriptor;

// Whether root may write into the folder: no other user can place or replace
// a file in it.
bool IsOnlyRootsFolder(int folder)
{
    struct stat info {};
    return fstat(folder, &info) == 0 && info.st_uid == 0 && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Writes all bytes in one append, retrying only an interrupted start.
void WriteWhole(int file, const std::string& line)
{
    const char* data = line.data();
    size_t left = line.size();
    while (left > 0) {
        ssize_t written = ::write(file, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        left -= static_cast<size_t>(written);
    }
}

// Renames the file to its previous generation once it has passed the size,
// unless another writer did so first: under the file's lock, the name must
// still be this file.
void RollOverIfFull(int folder, const std::string& name, int file, const struct stat& written)
{
    if (written.st_size <= LogFile::RollOverSize)
        return;
    if (flock(file, LOCK_EX) != 0)
        return;
    struct stat named {};
    if (fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == written.st_dev &&
        named.st_ino == written.st_ino)
        renameat(folder, name.c_str(), folder, (name + ".1").c_str());
    flock(file, LOCK_UN);
}

// Makes a missing log folder, and any missing folder above it, for its owner
// alone (a user's ~/.local/state may not exist before the first log line).
// Only for a user's own log: root writes into the installation's folder.
// An existing folder is left as it is; a link in the last place is not
// followed, since the folder is then opened with O_NOFOLLOW.
void MakeMissingFolders(const std::string& folderPath)
{
    for (size_t slash = folderPath.find('/', 1);; slash = folderPath.find('/', slash + 1)) {
        std::string part = folderPath.substr(0, slash);
        if (::mkdir(part.c_str(), S_IRWXU) != 0 && errno != EEXIST)
            return;
        if (slash == std::string::npos)
            return;
    }
}

}  // namespace

void LogFile::AppendLine(const std::string& path, const std::string& line)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size())
        return;
    const std::string folderPath = slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = path.substr(slash + 1);

    ScopedDescriptor folder{::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)};
    // Root makes no folder: its own is the installation's.
    if (folder.fd < 0 && errno == ENOENT && geteuid() != 0) {
        MakeMissingFolders(folderPath);
        folder.fd = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    }
    if (folder.fd < 0)
        return;
    if (geteuid() == 0 && !IsOnlyRootsFolder(folder.fd))
        return;
    ScopedDescriptor file{::openat(folder.fd, name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC,
                                   S_IRUSR | S_IWUSR)};
    if (file.fd < 0)
        return;
    struct stat info {};
    if (fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode))
        return;
    // A log made readable by others before is made private to its owner.
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0 && info.st_uid == geteuid())
        fchmod(file.fd, S_IRUSR | S_IWUSR);

    WriteWhole(file.fd, line);
    if (fstat(file.fd, &info) == 0)
        RollOverIfFull(folder.fd, name, file.fd, info);
}

}  // namespace CoreLogger
