#pragma once

#include <string_view>
#include <sys/types.h>

namespace Platform {

// The longest process name the kernel keeps; longer program names are cut.
inline constexpr size_t ProcessNameLength = 15;

// Whether a process with this name (the kernel's command name, compared on
// its first ProcessNameLength characters) runs with the given real user id.
// The answer is read from the process table /proc, without starting a
// program. Like every path of the system the table hangs from the movable
// filesystem root: tests see only the processes of their own world (a folder
// per process holding "comm" and "status"), never a real client of the same
// user that runs on the machine; a test that wants the machine's processes
// links its root's /proc to the real one.
bool IsProcessRunning(std::string_view name, uid_t uid);

}  // namespace Platform
