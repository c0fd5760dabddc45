#include "CoreLogger/NonUnifiedLogger.h"

#include "Common/StringFormat.h"
#include "CoreLogger/ComponentMapper.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
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
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    std::string line = stringFormat("%s [%s][PID: %d] - %s\n", level, TimeText(), static_cast<int>(getpid()), message);
    // One write on an append descriptor: lines of several threads and
    // processes never tear into each other.
    const char* data = line.data();
    size_t left = line.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break;
        data += written;
        left -= static_cast<size_t>(written);
    }
    ::close(fd);
}

}  // namespace CoreLogger
