#pragma once

#include <string>
#include <sys/types.h>

namespace Platform {

// Why a file may not be run with root's rights; an empty text when it may.
// It may when only its owner could have put its content there: it is a
// regular file that belongs to the owner (root) and that neither its group
// nor others may write, and so is every folder on its path, from the
// filesystem root down, none of them a symbolic link. path is the file's full
// path under the filesystem root; "." and ".." are refused.
std::string WhyNotRootOwned(const std::string& path, uid_t owner = 0);

}  // namespace Platform
