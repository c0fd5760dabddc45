#pragma once

#include <string>
#include <string_view>

namespace TestSupport {

// A private filesystem root for one test: made under /tmp with a short name
// (socket paths must stay under 104 bytes), holding the folders the system
// expects (/Library/Logs, /Library/Preferences, /tmp and the current user's
// Library folders), set as the process's root while it lives, and removed
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

    // The system preference domain of the client, in /Library/Preferences.
    void WriteClientPreferences(const std::initializer_list<std::pair<std::string, std::string>>& values) const;

    // What the system has logged so far in the current user's log file:
    // root's in /Library/Logs, another user's in the home folder's Library/Logs.
    std::string ClientLogText() const;

private:
    std::string mstrPath;
};

// Reads a whole file, or an empty text when it cannot be read.
std::string ReadFileText(const std::string& path);

// Writes a whole file, creating its folders.
void WriteFileText(const std::string& path, std::string_view data);

}  // namespace TestSupport
