#include "PrinterLanguageParser/Parser/IgnoredLanguageParser.h"

namespace RawPrintData {

// Remembers the trailer that ends the skipped part.
IgnoredLanguageParser::IgnoredLanguageParser(std::string_view trailer)
    : mblnSkipToEnd(trailer.empty()), mbytTrailer(trailer)
{
}

// Consumes everything up to and including the trailer.
ParseDataResultType IgnoredLanguageParser::ParseData(const DataBuffer& buffer)
{
    const uint64_t total = buffer.Length();
    if (mblnSkipToEnd) {
        // The rest of the job is a language that is not read: its pages are not counted.
        if (!mblnReported && total > 0) {
            mblnReported = true;
            NotifyDataNotCounted("The rest of the job is in a language that is not read; it is passed over");
        }
        mintBytesProcessed = total;
        return PARSE_RESULT_HANDLED;
    }
    if (total < mbytTrailer.size()) {
        mintBytesProcessed = 0;
        return PARSE_RESULT_HANDLED;
    }
    const uint64_t found = buffer.Find(mbytTrailer);
    if (found == DataBuffer::npos) {
        // Keep the last trailer-length bytes: the trailer may straddle chunks.
        mintBytesProcessed = total - mbytTrailer.size();
        return PARSE_RESULT_HANDLED;
    }
    mintBytesProcessed = found + mbytTrailer.size();
    NotifyNextLanguage(LANGUAGE_UNKNOWN);
    return PARSE_RESULT_SWITCH_LANGUAGE;
}

}  // namespace RawPrintData
