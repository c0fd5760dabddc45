#include "PrinterLanguageParser/Parser/escp/ESCPParser.h"

#include "PrinterLanguageParser/Parser/ControlByteFinder.h"

#include <algorithm>
#include <string>

namespace RawPrintData::ESCP {

namespace {

// The longest part of a sequence written to a debug line.
constexpr uint64_t MAX_LOGGED_SEQUENCE = 256;

}  // namespace

// Walks the data: skips raster and remote-mode data, counts form feeds and
// acts on escape sequences; a sequence cut by the end of the data is read
// again with the next chunk.
ParseDataResultType ESCPParser::ParseData(const DataBuffer& buffer)
{
    mintBytesProcessed = 0;
    mblnDebug = GetLogLevel() >= LOG_DEBUG;
    mblnLanguageSwitch = false;
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
        mLogSequence(buffer, position, mSequence.Length());
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

// Writes a sequence's bytes after its ESC to the debug log.
void ESCPParser::mLogSequence(const DataBuffer& buffer, uint64_t start, uint64_t length)
{
    std::string text;
    const uint64_t first = buffer[start] == ControlByteFinder::mbytESCAPE ? start + 1 : start;
    for (uint64_t index = first; index < start + length && index - first < MAX_LOGGED_SEQUENCE; ++index)
        text.push_back(static_cast<char>(buffer[index]));
    Log(LOG_DEBUG, "ESCPParser: Parameterized sequence: <ESC>%s", text.c_str());
}

// Reports the page; the next one starts mono.
void ESCPParser::NotifyDefaultPageCompleted()
{
    NotifyPageCompleted(mCurrentPage);
    mCurrentPage.mblnColor = false;
}

// Notes that the data after the current sequence belongs to another language.
void ESCPParser::NotifyNextLanguage(RawLanguageType language, bool literalTarget)
{
    mblnLanguageSwitch = true;
    IRawDataParser::NotifyNextLanguage(language, literalTarget);
}

// Marks the page colour.
void ESCPParser::SetColor(RawColorType color)
{
    if (color == COLOR_TYPE_COLOR)
        mCurrentPage.mblnColor = true;
}

// Sets the count of bytes still to skip.
void ESCPParser::AdvanceBytePosition(uint64_t count)
{
    mSkip.Set(count);
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
