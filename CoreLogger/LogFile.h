#pragma once

#include <string>

namespace CoreLogger {

// Appending one line to a log file, safely:
// - the file is never reached through a symbolic link at its path, and is
//   created readable by its owner alone (0600);
// - a process running as root writes only into a folder that no other user
//   can write into (owned by root, not group- or world-writable).
// Each line goes out in one append, so lines of threads and processes never
// tear. Failures drop the line silently.
class LogFile {
public:
    static void AppendLine(const std::string& path, const std::string& line);
};

}  // namespace CoreLogger
