#include "PrinterLanguageParser/Parser/pcl5/PCL5Parser.h"

#include "PrinterLanguageParser/Parser/ControlByteFinder.h"
#include "PrinterLanguageParser/Parser/pcl5/PCL5PaperSize.h"

namespace RawPrintData::PCL5 {

// Walks the data: skips announced data, counts form feeds and acts on escape
// sequences; a sequence cut by the end of the data is read again, from its
// ESC, with the next chunk.
ParseDataResultType PCL5Parser::ParseData(const DataBuffer& buffer)
{
    mStartCall();
    const uint64_t end = buffer.Length();
    if (end == 0)
        return PARSE_RESULT_HANDLED;

    ControlByteFinder finder(buffer);
    mContiguous.Bind(buffer);
    uint64_t position = 0;
    for (;;) {
        if (!mSkip.Advance(position, end)) {
            mintBytesProcessed = end;
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        if (mResumeGroup.has_value()) {
            const SequenceState state = mParameterized.Resume(mContiguous, position, *mResumeGroup);
            if (mActOnParameterized(buffer, position, state) == Step::NeedMoreData) {
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
        const SequenceState state = mParameterized.Read(mContiguous, position);
        if (state == SequenceState::Rejected) {
            ++position;  // no sequence: the ESC is passed over
            return Step::Continue;
        }
        return mActOnParameterized(buffer, position, state);
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

// Acts on a parameterized sequence just read at position and moves past it.
// A part after embedded data that is no value pair ends the sequence, and
// what follows the data is read as ordinary data.
PCL5Parser::Step PCL5Parser::mActOnParameterized(const DataBuffer& buffer, uint64_t& position, SequenceState state)
{
    if (state == SequenceState::Incomplete)
        return Step::NeedMoreData;
    if (state == SequenceState::Rejected) {
        mResumeGroup.reset();
        return Step::Continue;
    }
    if (mblnDebug)
        mLogSequence("PCL5Parser", buffer, position, mParameterized.Length());
    position += mParameterized.Length();
    mParameterized.ExecuteStrategy(*this);
    mResumeGroup = mParameterized.ContinuesAfterData();
    return Step::Continue;
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
    EscapeLanguageParser::AdvanceBytePosition(count);
}

}  // namespace RawPrintData::PCL5
