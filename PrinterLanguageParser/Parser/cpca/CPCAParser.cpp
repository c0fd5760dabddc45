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
        if (!mSkipPendingBytes(total))
            return PARSE_RESULT_NEED_MORE_DATA;
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

// Passes over as many pending bytes as the data holds.
bool CPCAParser::mSkipPendingBytes(uint64_t total)
{
    const uint64_t available = total - mintBytesProcessed;
    if (mintBytesToSkip > available) {
        mintBytesToSkip -= available;
        mintBytesProcessed = total;
        return false;
    }
    mintBytesProcessed += mintBytesToSkip;
    mintBytesToSkip = 0;
    return true;
}

// Sets the count of bytes to pass over.
void CPCAParser::AdvanceBytePosition(uint64_t count)
{
    Log(LOG_DEBUG, "CPCAParser::AdvanceBytePosition - Skipping %llu bytes", static_cast<unsigned long long>(count));
    mintBytesToSkip = count;
}

// Marks the switch and moves past the byte that follows the header.
void CPCAParser::NotifyNextLanguage(RawLanguageType language)
{
    mblnLanguageSwitch = true;
    ++mintBytesProcessed;
    IRawDataParser::NotifyNextLanguage(language);
}

}  // namespace RawPrintData::CPCA
