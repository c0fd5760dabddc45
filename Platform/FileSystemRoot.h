#pragma once

#include <string>
#include <string_view>

namespace Platform {

// The folder that every absolute path of the system hangs from. In production
// it is "/"; tests move it to a temporary folder so that they never touch the
// machine's own /etc, /var, /tmp or home folders. The environment variable
// CVK_ROOT sets it for whole processes (a private cupsd passes it to the hook).
std::string FileSystemRoot();

// Moves the root for this process; an empty text returns to "/" (or CVK_ROOT).
void SetFileSystemRoot(std::string root);

// The real location of an absolute path of the system, such as
// "/var/log/quorvel" or "/tmp/cvkclient.alice", under the current root.
std::string HostPath(std::string_view absolutePath);

}  // namespace Platform
