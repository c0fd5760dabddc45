#pragma once

#include <string_view>
#include <sys/types.h>

namespace Platform {

// The longest process name the kernel keeps; longer program names are cut.
inline constexpr size_t ProcessNameLength = 15;

// Whether a process with this name (the kernel's command name, compared on
// its first ProcessNameLength characters) runs with the given real user id.
// The answer is read from /proc, without starting a program.
bool IsProcessRunning(std::string_view name, uid_t uid);

}  // namespace Platform
