#include "PrinterLanguageParser/Parser/postscript/EncapsulatedPostscriptParser.h"

#include "PrinterLanguageParser/Parser/Endian.h"

#include <algorithm>

namespace RawPrintData::Postscript {

// Builds the parser with its inner PostScript parser in EPS mode.
EncapsulatedPostscriptParser::EncapsulatedPostscriptParser()
{
    mInner.EnableEPSMode();
}

// Passes a listener to the inner parser too.
void EncapsulatedPostscriptParser::AddListener(IRawDataParserListener* listener)
{
    IRawDataParser::AddListener(listener);
    mInner.AddListener(listener);
}

// Removes a listener from both.
void EncapsulatedPostscriptParser::RemoveListener(IRawDataParserListener* listener)
{
    IRawDataParser::RemoveListener(listener);
    mInner.RemoveListener(listener);
}

// Reads the header, skips to the PostScript section and parses it.
ParseDataResultType EncapsulatedPostscriptParser::ParseData(const DataBuffer& buffer)
{
    mintBytesProcessed = 0;
    const uint64_t total = buffer.Length();
    uint64_t position = 0;
    if (mintState == STATE_HEADER) {
        if (total < mintHEADER_LENGTH)
            return PARSE_RESULT_NEED_MORE_DATA;
        const LittleEndian order;
        const uint64_t offset = order.Combine_uint32(buffer[4], buffer[5], buffer[6], buffer[7]);
        mintBytesLeft = order.Combine_uint32(buffer[8], buffer[9], buffer[10], buffer[11]);
        if (offset < mintHEADER_LENGTH) {
            Log(LOG_ERROR, "EncapsulatedPostscriptParser::ParseData - PostScript section at %u lies inside the header.",
                static_cast<unsigned>(offset));
            mintState = STATE_DONE;
        } else {
            mintBytesToSkip = offset - mintHEADER_LENGTH;
            mintState = STATE_SKIPPING;
        }
        position = mintHEADER_LENGTH;
    }
    if (mintState == STATE_SKIPPING) {
        // Previews before the section are skipped with a counter, not kept.
        const uint64_t skipped = std::min(mintBytesToSkip, total - position);
        mintBytesToSkip -= skipped;
        position += skipped;
        if (mintBytesToSkip > 0) {
            mintBytesProcessed = position;
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        mintState = STATE_POSTSCRIPT;
        mblnSectionStarted = true;
    }
    if (mintState == STATE_POSTSCRIPT)
        return mParseSection(buffer, position);
    mintBytesProcessed = total;
    return PARSE_RESULT_HANDLED;
}

// Gives the inner parser the rest of the section.
ParseDataResultType EncapsulatedPostscriptParser::mParseSection(const DataBuffer& buffer, uint64_t start)
{
    const uint64_t available = buffer.Length() - start;
    const bool sectionEndsHere = available >= mintBytesLeft;
    DataBuffer section(buffer);
    section.AdjustToStartAt(start);
    if (available > mintBytesLeft)
        section = DataBuffer(section, mintBytesLeft);
    const ParseDataResultType result = mInner.ParseData(section);
    const uint64_t used = std::min(mInner.BytesProcessed(), mintBytesLeft);
    mintBytesLeft -= used;
    if (result == PARSE_RESULT_SWITCH_LANGUAGE || result < 0) {
        // The next language starts where the inner parser stopped; what
        // follows reaches it rather than being swallowed here.
        mintBytesProcessed = start + used;
        return result;
    }
    if (sectionEndsHere) {
        // A signature prefix the inner parser held back at the section's end
        // can no longer be completed: the section is finished either way.
        mintBytesLeft = 0;
        mintState = STATE_DONE;
        mintBytesProcessed = buffer.Length();
        return result;
    }
    // Bytes the inner parser left (a signature cut by the chunk) come back.
    mintBytesProcessed = start + used;
    return result;
}

// Ends the job on the inner parser once its section was reached.
ParseDataResultType EncapsulatedPostscriptParser::ParseDone()
{
    return mblnSectionStarted ? mInner.ParseDone() : PARSE_RESULT_HANDLED;
}

// Ends a page on the inner parser while its section is read.
void EncapsulatedPostscriptParser::NotifyDefaultPageCompleted()
{
    if (mintState == STATE_POSTSCRIPT)
        mInner.NotifyDefaultPageCompleted();
}

// Back to reading a header.
void EncapsulatedPostscriptParser::Reset()
{
    mintState = STATE_HEADER;
    mintBytesToSkip = 0;
    mintBytesLeft = 0;
    mblnSectionStarted = false;
}

}  // namespace RawPrintData::Postscript
