#include "CoreLogger/NonUnifiedLogger.h"

#include "Common/StringFormat.h"
#include "CoreLogger/ComponentMapper.h"
#include "CoreLogger/LogFile.h"

#include <ctime>
#include <unistd.h>

namespace CoreLogger {
namespace {

// The local time as asctime gives it, without its trailing newline.
std::string TimeText()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr)
        return std::string();
    char text[64] = {};  // asctime_r writes at most 26 bytes
    if (asctime_r(&local, text) == nullptr)
        return std::string();
    std::string result(text);
    auto newline = result.find('\n');
    if (newline != std::string::npos)
        result.erase(newline);
    return result;
}

}  // namespace

NonUnifiedLogger::NonUnifiedLogger() : mSystemDetails(std::make_unique<SystemDetails>())
{
    mstrLogFilePath = stringFormat("%s/%s_%s", mSystemDetails->GetLoggingDirectory(), mSystemDetails->UserName(),
                                   mSystemDetails->LogFileName());
}

void NonUnifiedLogger::mWrite(LogComponents component, const std::string& message, const char* level)
{
    std::string text = stringFormat("(%s): %s", ComponentMapper::MapComponents(component), message);
    WriteToFile(mstrLogFilePath, text, level);
}

void NonUnifiedLogger::LogMessage(LogComponents component, std::string message)
{
    mWrite(component, message, "L");
}

void NonUnifiedLogger::LogMessageDebug(LogComponents component, std::string message)
{
    if (!mSystemDetails->DebugEnabled())
        return;
    mWrite(component, message, "D");
}

void NonUnifiedLogger::LogMessageError(LogComponents component, std::string message)
{
    mWrite(component, message, "E");
}

void NonUnifiedLogger::WriteToFile(const std::string& path, const std::string& message, const std::string& level)
{
    LogFile::AppendLine(path,
                        stringFormat("%s [%s][PID: %d] - %s\n", level, TimeText(), static_cast<int>(getpid()), message));
}

}  // namespace CoreLogger
