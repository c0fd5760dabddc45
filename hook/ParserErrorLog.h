#pragma once

#include "PrinterLanguageParser/Parser/ILogger.h"

#include <cstddef>

// The printer-language parser's error lines in the hook's log: why a reader
// gave up on a job, and where a limit cut its reading. Other lines stay
// dropped. Damaged data can make a reader report the same trouble at every
// command, so one job writes a bounded number of lines.
class ParserErrorLog final : public RawPrintData::ILogger {
public:
    static constexpr size_t MaxLines = 20;

    void WriteError(const char* text) override;
    void WriteMessage(const char*, RawPrintData::LogLevel) override {}

private:
    size_t mintLines = 0;
};
