#include "PrinterLanguageParser/Parser/pcl5/TwoCharacterEscapeSequence.h"

namespace RawPrintData::PCL5 {

// Reads the two bytes; ESC E resets the printer.
SequenceState TwoCharacterEscapeSequence::Process(const DataBuffer& buffer, uint64_t escape)
{
    mClear();
    mintLength = 2;
    if (buffer[escape + 1] == 'E')
        mAddStrategy(ResetParserStrategy());
    return SequenceState::Complete;
}

}  // namespace RawPrintData::PCL5
