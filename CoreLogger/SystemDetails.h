#pragma once

#include <string>

namespace CoreLogger {

// What one logger learns about its process when it is made.
class SystemDetails {
public:
    SystemDetails();

    const std::string& UserName() const { return mstrUserName; }
    bool DebugEnabled() const { return mblnDebugLogging; }
    const std::string& LogFileName() const { return mstrLogFileName; }
    const std::string& LogFolderName() const { return mstrLogFolderName; }

    // "/Library/Logs" for root, otherwise Library/Logs in the user's home folder.
    std::string GetLoggingDirectory() const;

    // False only when the preference DebugLogging is exactly the text "0".
    static bool DebugLoggingEnabled();

private:
    std::string mstrUserName;
    bool mblnDebugLogging;
    std::string mstrLogFileName;
    std::string mstrLogFolderName;
};

}  // namespace CoreLogger
