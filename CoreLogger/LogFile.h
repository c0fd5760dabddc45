#pragma once

#include <string>
#include <sys/types.h>

namespace CoreLogger {

// Appending one line to a log file, safely and within bounds:
// - the file is never reached through a symbolic link at its path, and is
//   created readable by its owner alone (0600); a missing folder of a user
//   who is not root is made for the user alone (0700), with any missing
//   folder above it;
// - a process running as root writes only into a folder that no other user
//   can write into (owned by root, not group- or world-writable);
// - a file that has grown past RollOverSize is renamed to its one previous
//   generation (the name with ".1" added, replacing an older one) and the
//   next line begins a new file.
// Each line goes out in one append, so lines of threads and processes never
// tear; a line written while the file is being renamed lands in the renamed
// file, so none is lost. Failures drop the line silently.
class LogFile {
public:
    static constexpr off_t RollOverSize = 10 * 1024 * 1024;

    static void AppendLine(const std::string& path, const std::string& line);
};

}  // namespace CoreLogger
