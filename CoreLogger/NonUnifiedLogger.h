#pragma once

#include "CoreLogger/ICoreLogger.h"
#include "CoreLogger/SystemDetails.h"

#include <memory>

namespace CoreLogger {

// The file logger: appends one line per call to the user's log file.
class NonUnifiedLogger : public ICoreLogger {
public:
    NonUnifiedLogger();

    void LogMessage(LogComponents component, std::string message) override;
    void LogMessageDebug(LogComponents component, std::string message) override;
    void LogMessageError(LogComponents component, std::string message) override;

    const std::string& LogFilePath() const { return mstrLogFilePath; }

    // Appends one formatted line (see LogFile); a file that cannot be opened
    // drops it silently.
    static void WriteToFile(const std::string& path, const std::string& message, const std::string& level);

private:
    void mWrite(LogComponents component, const std::string& message, const char* level);

    std::unique_ptr<SystemDetails> mSystemDetails;
    std::string mstrLogFilePath;
};

}  // namespace CoreLogger
