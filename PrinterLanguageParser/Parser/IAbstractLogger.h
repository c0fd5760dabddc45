#pragma once

#include <atomic>
#include <cstdint>

namespace RawPrintData {

enum LogLevel : int32_t {
    LOG_ERROR = 0,
    LOG_INFO = 1,
    LOG_DEBUG = 2,
};

// The parser library's own logging: every parser, the handler and a host's
// sink derive from it. Texts are formatted only when the shared level admits
// them (by default only errors), then passed to LogMessage.
class IAbstractLogger {
public:
    virtual ~IAbstractLogger() = default;

    virtual void Log(LogLevel level, const char* format, ...) __attribute__((format(printf, 3, 4)));
    virtual void LogMessage(LogLevel level, const char* text) = 0;

    static void SetLogLevel(LogLevel level);
    static LogLevel GetLogLevel();
    // Whether texts of a level are formatted: for the lines logged on every
    // page, whose arguments are then not even gathered.
    static bool LogsAt(LogLevel level) { return mintLevel.load(std::memory_order_relaxed) >= level; }

    // The longest text formatted; longer texts are cut.
    static constexpr int mintMAX_LOG_TEXT = 65535;

protected:
    IAbstractLogger() = default;
    IAbstractLogger(const IAbstractLogger&) = default;
    IAbstractLogger& operator=(const IAbstractLogger&) = default;

private:
    // Shared by all handlers; set by a host before parsing, read while parsing.
    static std::atomic<int32_t> mintLevel;
};

}  // namespace RawPrintData
