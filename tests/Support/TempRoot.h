#pragma once

#include "Platform/Folders.h"

#include <string>
#include <string_view>

namespace TestSupport {

// A private filesystem root for one test: made under /tmp with a short name
// (socket paths must stay under 104 bytes), holding the folders the system
// expects (the system's log, preference and data folders, /tmp and the current
// user's log and preference folders), set as the process's root while it lives, and removed
// with everything in it afterwards.
class TempRoot {
public:
    TempRoot();
    ~TempRoot();
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    const std::string& Path() const { return mstrPath; }

    // The real location of an absolute system path under this root.
    std::string Host(std::string_view absolutePath) const;

    // The current user's home folder under this root.
    std::string Home() const;

    // Writes a preference domain file; binary selects the binary plist form.
    // Values are written as strings.
    void WritePreferences(std::string_view folder, std::string_view domain,
                          const std::initializer_list<std::pair<std::string, std::string>>& values,
                          bool binary = false) const;

    // Where one of the system's folders lies under this root (for the current user).
    std::string Folder(Platform::Folder folder) const;

    // The log folder the given user's programs write to: the system's for
    // root, the user's own otherwise.
    std::string LogFolder(const std::string& user) const;

    // The system preference domain of the client, in the system preference folder.
    void WriteClientPreferences(const std::initializer_list<std::pair<std::string, std::string>>& values) const;

    // What the system has logged so far in the current user's log file:
    // root's in the system log folder, another user's in their own.
    std::string ClientLogText() const;

private:
    std::string mstrPath;
};

// Reads a whole file, or an empty text when it cannot be read.
std::string ReadFileText(const std::string& path);

// Writes a whole file, creating its folders.
void WriteFileText(const std::string& path, std::string_view data);

}  // namespace TestSupport
