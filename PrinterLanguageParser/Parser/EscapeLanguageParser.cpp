#include "PrinterLanguageParser/Parser/EscapeLanguageParser.h"

#include "PrinterLanguageParser/Parser/ControlByteFinder.h"

#include <string>

namespace RawPrintData {

namespace {

// The longest part of a sequence written to a debug line.
constexpr uint64_t MAX_LOGGED_SEQUENCE = 256;

}  // namespace

// Reports the page and starts the next one mono.
void EscapeLanguageParser::NotifyDefaultPageCompleted()
{
    NotifyPageCompleted(mCurrentPage);
    mCurrentPage.mblnColor = false;
}

// Notes that the data after the current sequence belongs to another language.
void EscapeLanguageParser::NotifyNextLanguage(RawLanguageType language, bool literalTarget)
{
    mblnLanguageSwitch = true;
    IRawDataParser::NotifyNextLanguage(language, literalTarget);
}

// Resets what one call tracks.
void EscapeLanguageParser::mStartCall()
{
    mintBytesProcessed = 0;
    mblnLanguageSwitch = false;
    mblnDebug = GetLogLevel() >= LOG_DEBUG;
}

// Copies at most a line's worth of the sequence into the debug line.
void EscapeLanguageParser::mLogSequence(const char* parserName, const DataBuffer& buffer, uint64_t start,
                                        uint64_t length)
{
    std::string text;
    const uint64_t first = buffer[start] == ControlByteFinder::mbytESCAPE ? start + 1 : start;
    for (uint64_t index = first; index < start + length && index - first < MAX_LOGGED_SEQUENCE; ++index)
        text.push_back(static_cast<char>(buffer[index]));
    Log(LOG_DEBUG, "%s: Parameterized sequence: <ESC>%s", parserName, text.c_str());
}

}  // namespace RawPrintData
