#pragma once

#include "PrinterLanguageParser/Parser/IAbstractLogger.h"

namespace RawPrintData {

// The sink a host may give a handler (CRawDataHandler::SetLogger): errors go
// to WriteError, everything else to WriteMessage, and every raw chunk to
// LogRawData. Nothing in this system installs one.
class ILogger : public IAbstractLogger {
public:
    void LogMessage(LogLevel level, const char* text) override;

    virtual void WriteError(const char* text) = 0;
    virtual void WriteMessage(const char* text, LogLevel level) = 0;

    // A copy of each chunk fed to the handler; ignored unless overridden.
    virtual void LogRawData(const void* data, unsigned long length);
};

}  // namespace RawPrintData
