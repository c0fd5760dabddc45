#include "PrinterLanguageParser/Parser/IAbstractLogger.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace RawPrintData {

std::atomic<int32_t> IAbstractLogger::mintLevel{LOG_ERROR};

// Formats the text when the level admits it and hands it to LogMessage.
void IAbstractLogger::Log(LogLevel level, const char* format, ...)
{
    if (format == nullptr || mintLevel.load(std::memory_order_relaxed) < level)
        return;

    va_list args;
    va_start(args, format);
    va_list sizing;
    va_copy(sizing, args);
    const int needed = std::vsnprintf(nullptr, 0, format, sizing);
    va_end(sizing);
    if (needed < 0) {
        va_end(args);
        return;
    }
    std::string text(static_cast<size_t>(std::min(needed, mintMAX_LOG_TEXT)) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    text.pop_back();
    LogMessage(level, text.c_str());
}

// Sets the level up to which texts are formatted.
void IAbstractLogger::SetLogLevel(LogLevel level)
{
    mintLevel.store(level, std::memory_order_relaxed);
}

// The level up to which texts are formatted.
LogLevel IAbstractLogger::GetLogLevel()
{
    return static_cast<LogLevel>(mintLevel.load(std::memory_order_relaxed));
}

}  // namespace RawPrintData
