#pragma once

#include "Platform/UserAccount.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

// How a read of a user's file ended.
enum class UserFileRead {
    Read,     // the bytes were read
    Missing,  // there is no such file
    Refused,  // the file or its path is not one to trust; see the reason
};

// Reads a small file that a user keeps in a folder of the home folder, for a
// process that runs as root on the user's behalf: no symbolic link is
// followed anywhere below the home folder (the home folder itself is the
// password database's, set by the administrator), and only a regular file
// that belongs to the user or to root and is at most limit bytes long is
// read. path is the file's full path under the filesystem root; a path
// outside the home folder is refused. reason says why a file was refused.
UserFileRead ReadUsersFile(const UserAccount& user, const std::string& path, size_t limit,
                           std::vector<uint8_t>& bytes, std::string& reason);

}  // namespace Platform
