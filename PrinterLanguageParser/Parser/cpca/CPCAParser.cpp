#include "PrinterLanguageParser/Parser/cpca/CPCAParser.h"

#include "PrinterLanguageParser/Parser/cpca/CPCAOperation.h"

namespace RawPrintData::CPCA {

// Walks the operation headers at hand; a header cut by the end of the data is
// read again with more data, and an operation's data may run over chunks.
ParseDataResultType CPCAParser::ParseData(const DataBuffer& buffer)
{
    mblnLanguageSwitch = false;
    mintBytesProcessed = 0;
    const uint64_t total = buffer.Length();
    if (total == 0)
        return PARSE_RESULT_HANDLED;

    while (true) {
        // Skipped data that ends exactly with the data at hand leaves nothing to wait for.
        if (!mSkip.Advance(mintBytesProcessed, total))
            return mSkip.Remaining() == 0 ? PARSE_RESULT_HANDLED : PARSE_RESULT_NEED_MORE_DATA;
        if (mintBytesProcessed == total)
            return PARSE_RESULT_HANDLED;
        const CPCAOperation operation(buffer, mintBytesProcessed);
        if (!operation.IsValid())
            return PARSE_RESULT_NEED_MORE_DATA;
        mintBytesProcessed += mintCPCA_HEADER_SIZE;
        operation.ExecuteStrategy(*this);
        if (mblnLanguageSwitch)
            return PARSE_RESULT_SWITCH_LANGUAGE;
    }
}

// Sets the count of bytes to pass over.
void CPCAParser::AdvanceBytePosition(uint64_t count)
{
    Log(LOG_DEBUG, "CPCAParser::AdvanceBytePosition - Skipping %llu bytes", static_cast<unsigned long long>(count));
    mSkip.Set(count);
}

// Marks the switch and moves past the byte that follows the header.
void CPCAParser::NotifyNextLanguage(RawLanguageType language)
{
    mblnLanguageSwitch = true;
    ++mintBytesProcessed;
    IRawDataParser::NotifyNextLanguage(language);
}

}  // namespace RawPrintData::CPCA
