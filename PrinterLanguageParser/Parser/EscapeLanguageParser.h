#pragma once

#include "PrinterLanguageParser/Parser/CRawPage.h"
#include "PrinterLanguageParser/Parser/DataBuffer.h"
#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/ParserStrategies.h"
#include "PrinterLanguageParser/Parser/SkipCounter.h"

#include <cstdint>

namespace RawPrintData {

// What the parsers of escape-sequence languages (PCL 5, ESC/P) share: a page
// at every form feed outside announced data, the current page carried from
// one page to the next, announced data skipped by count, and a language
// change noted so that the walk stops after the sequence that made it.
class EscapeLanguageParser : public IRawDataParser {
public:
    // Reports the current page; its paper stays for the next page, its
    // colour does not.
    void NotifyDefaultPageCompleted() override;
    using IRawDataParser::NotifyNextLanguage;
    void NotifyNextLanguage(RawLanguageType language, bool literalTarget) override;

    // Passes over the next count bytes, across chunks if need be.
    void AdvanceBytePosition(uint64_t count) { mSkip.Set(count); }

protected:
    EscapeLanguageParser() = default;

    // Starts a ParseData call: nothing processed, no language change yet, and
    // the log level read once for the whole call.
    void mStartCall();
    // Writes a sequence's bytes after its ESC to the debug log.
    void mLogSequence(const char* parserName, const DataBuffer& buffer, uint64_t start, uint64_t length);

    bool mblnLanguageSwitch = false;
    bool mblnDebug = false;
    NextPageStrategy mPageEject;
    CRawPage mCurrentPage;
    SkipCounter mSkip;
};

}  // namespace RawPrintData
