#include "PrinterLanguageParser/Parser/ILogger.h"

namespace RawPrintData {

// Sends errors to the error sink and the rest to the message sink.
void ILogger::LogMessage(LogLevel level, const char* text)
{
    if (level == LOG_ERROR)
        WriteError(text);
    else
        WriteMessage(text, level);
}

// Ignores raw chunks.
void ILogger::LogRawData(const void*, unsigned long) {}

}  // namespace RawPrintData
