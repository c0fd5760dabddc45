#include "PrinterLanguageParser/Parser/escp/ESCPParser.h"

#include "PrinterLanguageParser/Parser/ControlByteFinder.h"

#include <algorithm>

namespace RawPrintData::ESCP {

// Walks the data: skips raster and remote-mode data, counts form feeds and
// acts on escape sequences; a sequence cut by the end of the data is read
// again with the next chunk.
ParseDataResultType ESCPParser::ParseData(const DataBuffer& buffer)
{
    mStartCall();
    const uint64_t end = buffer.Length();
    if (end == 0)
        return PARSE_RESULT_HANDLED;

    ControlByteFinder finder(buffer);
    uint64_t position = 0;
    for (;;) {
        if (!mSkip.Advance(position, end) || !mWalkRunLengthData(buffer, position) ||
            !mSkipRemoteMode(buffer, position)) {
            mintBytesProcessed = position;
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        if (mblnInCommandChain) {
            if (!mHandleSequence(buffer, position, mSequence.ResumeChain(buffer, position))) {
                mintBytesProcessed = position;
                return PARSE_RESULT_NEED_MORE_DATA;
            }
            continue;
        }

        const uint64_t next = finder.Next(position);
        if (next == DataBuffer::npos)
            break;
        position = next;
        if (buffer[position] == ControlByteFinder::mbytFORM_FEED) {
            if (mblnDebug)
                Log(LOG_DEBUG, "ESCPParser::ParseData - Found Formfeed command");
            mPageEject.Execute(this);
            ++position;
        } else if (position + 1 >= end) {
            mintBytesProcessed = position;
            return PARSE_RESULT_NEED_MORE_DATA;
        } else if (const unsigned char command = buffer[position + 1]; command >= ' ' && command <= 'x') {
            if (!mHandleSequence(buffer, position, mSequence.Process(buffer, position))) {
                mintBytesProcessed = position;
                return PARSE_RESULT_NEED_MORE_DATA;
            }
        } else {
            ++position;  // a lone ESC
        }
        if (mblnLanguageSwitch) {
            mintBytesProcessed = position;
            return PARSE_RESULT_SWITCH_LANGUAGE;
        }
    }
    mintBytesProcessed = end;
    return PARSE_RESULT_HANDLED;
}

// Acts on a sequence just read at position and moves past it; false, with
// position where to read again, when it is not yet complete.
bool ESCPParser::mHandleSequence(const DataBuffer& buffer, uint64_t& position, SequenceState state)
{
    if (state != SequenceState::Complete) {
        if (mblnDebug)
            Log(LOG_DEBUG, "ESCPParser: Sequence not complete, need more buffer.");
        position = mSequence.RestartPosition();
        mblnInCommandChain = mSequence.RestartInChain();
        return false;
    }
    if (mblnDebug)
        mLogSequence("ESCPParser", buffer, position, mSequence.Length());
    position += mSequence.Length();
    mblnInCommandChain = false;
    mSequence.ExecuteStrategy(*this);
    return true;
}

// Walks run-length encoded raster data: a control byte x from 128 up is a run
// of 257 - x bytes encoded in one more byte, x below 128 a literal of x + 1
// bytes. The data ends once the decoded length is reached (a unit that
// overshoots it ends it as well). False when the data at hand ends first.
bool ESCPParser::mWalkRunLengthData(const DataBuffer& buffer, uint64_t& position)
{
    const uint64_t end = buffer.Length();
    while (mintRunLengthLeft > 0) {
        if (position >= end)
            return false;
        const unsigned int control = buffer[position++];
        const uint64_t decoded = control >= 128 ? 257 - control : control + 1;
        const uint64_t encoded = control >= 128 ? 1 : control + 1;
        mintRunLengthLeft -= std::min(decoded, mintRunLengthLeft);
        mSkip.Set(encoded);
        if (!mSkip.Advance(position, end))
            return false;
    }
    return true;
}

// Passes over remote-mode data up to and including the end marker. False
// when the data at hand ends first: all but the bytes that may start a marker
// cut by the chunk's end are consumed.
bool ESCPParser::mSkipRemoteMode(const DataBuffer& buffer, uint64_t& position)
{
    if (!mblnRemoteMode)
        return true;
    const uint64_t found = buffer.Find(mbytESCP2_ParenRCommand_END, position);
    if (found == DataBuffer::npos) {
        const uint64_t end = buffer.Length();
        position = std::max(position, end - std::min(end, mintESCP2_ParenRCommand_END_LENGTH - 1));
        return false;
    }
    position = found + mintESCP2_ParenRCommand_END_LENGTH;
    mblnRemoteMode = false;
    return true;
}

// Marks the page colour.
void ESCPParser::SetColor(RawColorType color)
{
    if (color == COLOR_TYPE_COLOR)
        mCurrentPage.mblnColor = true;
}

// Starts walking encoded raster data.
void ESCPParser::SkipRunLengthData(uint64_t decodedLength)
{
    mintRunLengthLeft = decodedLength;
}

// Starts skipping remote-mode commands.
void ESCPParser::SkipRemoteMode()
{
    mblnRemoteMode = true;
}

}  // namespace RawPrintData::ESCP
