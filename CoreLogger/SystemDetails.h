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

    // The system log folder for root, otherwise the user's own log folder.
    std::string GetLoggingDirectory() const;

    // False only when the preference DebugLogging is exactly the text "0".
    static bool DebugLoggingEnabled();

private:
    std::string mstrUserName;
    bool mblnDebugLogging;
    std::string mstrLogFileName;
};

}  // namespace CoreLogger
