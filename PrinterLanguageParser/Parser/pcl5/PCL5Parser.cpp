#include "PrinterLanguageParser/Parser/pcl5/PCL5Parser.h"

#include "PrinterLanguageParser/Parser/ControlByteFinder.h"
#include "PrinterLanguageParser/Parser/pcl5/PCL5PaperSize.h"

#include <algorithm>
#include <string>

namespace RawPrintData::PCL5 {

namespace {

constexpr unsigned char ESCAPE = ControlByteFinder::mbytESCAPE;

// The longest part of a sequence written to a debug line.
constexpr uint64_t MAX_LOGGED_SEQUENCE = 256;

}  // namespace

// Walks the data: skips announced data, counts form feeds and acts on escape
// sequences; a sequence cut by the end of the data is read again, from its
// ESC, with the next chunk.
ParseDataResultType PCL5Parser::ParseData(const DataBuffer& buffer)
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
        if (!mSkip.Advance(position, end)) {
            mintBytesProcessed = end;
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        if (mResumeGroup.has_value()) {
            if (mResumeSequence(buffer, position) == Step::NeedMoreData) {
                mintBytesProcessed = position;
                return PARSE_RESULT_NEED_MORE_DATA;
            }
            continue;  // the rest of the sequence may announce more data
        }

        const uint64_t next = finder.Next(position);
        if (next == DataBuffer::npos)
            break;
        position = next;
        if (buffer[position] == ControlByteFinder::mbytFORM_FEED) {
            mPageEject.Execute(this);
            ++position;
        } else if (mHandleEscape(buffer, position) == Step::NeedMoreData) {
            mintBytesProcessed = position;
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        if (mblnLanguageSwitch) {
            mintBytesProcessed = position;
            return PARSE_RESULT_SWITCH_LANGUAGE;
        }
    }
    mintBytesProcessed = end;
    return PARSE_RESULT_HANDLED;
}

// Reads and acts on the sequence whose ESC is at position, and moves past it.
// Leaves position at the ESC when the sequence is not yet complete.
PCL5Parser::Step PCL5Parser::mHandleEscape(const DataBuffer& buffer, uint64_t& position)
{
    if (position + 1 >= buffer.Length())
        return Step::NeedMoreData;
    const unsigned char character = buffer[position + 1];

    if (character >= '!' && character <= '/') {
        switch (mParameterized.Process(buffer, position)) {
        case SequenceState::Incomplete:
            return Step::NeedMoreData;
        case SequenceState::Rejected:
            ++position;
            return Step::Continue;
        case SequenceState::Complete:
            break;
        }
        if (mblnDebug)
        mLogSequence(buffer, position, mParameterized.Length());
        position += mParameterized.Length();
        mParameterized.ExecuteStrategy(*this);
        mResumeGroup = mParameterized.ContinuesAfterData();
        return Step::Continue;
    }
    if (character >= '0' && character <= '~') {
        if (mblnDebug)
            Log(LOG_DEBUG, "PCL5Parser::ParseData - Escape Sequence Found: <ESC>%c", character);
        mTwoCharacter.Process(buffer, position);
        position += mTwoCharacter.Length();
        mTwoCharacter.ExecuteStrategy(*this);
        return Step::Continue;
    }
    ++position;  // a lone ESC
    return Step::Continue;
}

// Reads on in a combined sequence after the data embedded in it.
PCL5Parser::Step PCL5Parser::mResumeSequence(const DataBuffer& buffer, uint64_t& position)
{
    switch (mParameterized.Resume(buffer, position, *mResumeGroup)) {
    case SequenceState::Incomplete:
        return Step::NeedMoreData;
    case SequenceState::Rejected:
        // What follows the data is no value pair: read it as ordinary data.
        mResumeGroup.reset();
        return Step::Continue;
    case SequenceState::Complete:
        break;
    }
    if (mblnDebug)
        mLogSequence(buffer, position, mParameterized.Length());
    position += mParameterized.Length();
    mParameterized.ExecuteStrategy(*this);
    mResumeGroup = mParameterized.ContinuesAfterData();
    return Step::Continue;
}

// Writes a sequence's bytes after its ESC to the debug log.
void PCL5Parser::mLogSequence(const DataBuffer& buffer, uint64_t start, uint64_t length)
{
    std::string text;
    const uint64_t first = buffer[start] == ESCAPE ? start + 1 : start;
    for (uint64_t index = first; index < start + length && index - first < MAX_LOGGED_SEQUENCE; ++index)
        text.push_back(static_cast<char>(buffer[index]));
    Log(LOG_DEBUG, "PCL5Parser: Parameterized sequence: <ESC>%s", text.c_str());
}

// Reports the page; the paper stays for the next page, the colour does not.
void PCL5Parser::NotifyDefaultPageCompleted()
{
    NotifyPageCompleted(mCurrentPage);
    mCurrentPage.mblnColor = false;
}

// Notes that the data after the current sequence belongs to another language.
void PCL5Parser::NotifyNextLanguage(RawLanguageType language, bool literalTarget)
{
    mblnLanguageSwitch = true;
    IRawDataParser::NotifyNextLanguage(language, literalTarget);
}

// Takes the code's paper for the current page.
void PCL5Parser::SetPaperSize(int32_t paperSize)
{
    const std::optional<PCL5Paper> paper = LookUpPaperSize(paperSize);
    if (!paper.has_value())
        return;
    mCurrentPage.SetName(paper->mstrName);
    mCurrentPage.mintWidth = paper->mintWidth;
    mCurrentPage.mintHeight = paper->mintHeight;
}

// Sets the count of bytes still to skip.
void PCL5Parser::AdvanceBytePosition(uint64_t count)
{
    if (mblnDebug)
        Log(LOG_DEBUG, "PCL5Parser::AdvanceBytePosition - Skipping %llu bytes", static_cast<unsigned long long>(count));
    mSkip.Set(count);
}

}  // namespace RawPrintData::PCL5
