#pragma once

#include "PrinterLanguageParser/Parser/RawJobTypes.h"
#include "PrinterLanguageParser/Parser/escp/EscapeSequence.h"
#include "PrinterLanguageParser/Parser/escp/EscpCommandLayout.h"

#include <cstdint>

namespace RawPrintData::ESCP {

// An ESC/P sequence: ESC and a command byte from " " to "x" with its
// parameters. Only paper (ESC ( U, ESC ( S, ESC ( C), the inks (ESC r,
// ESC ( r), the print position (ESC ( U, ESC ( D, ESC ( v, ESC ( V, ESC ( $,
// ESC $, ESC \, ESC J and the line spacing) and the blocks of raster rows and
// bit images (ESC i, ESC ., ESC *, ESC K, L, Y, Z, ESC ^) bear on accounting;
// the rest is passed over. The parser reads or skips the blocks' data and
// skips remote mode through the strategies added here. The
// commands of Epson's references are read by the layout of their parameters
// (EscpCommandLayout.h).
//
// A command byte the parser does not know is passed over and the byte after
// it read as a further command byte. Such a chain ends at a byte outside " "
// to "x"; when the data at hand ends inside it, the bytes passed over so far
// are consumed and the chain is resumed with the next chunk (ResumeChain), so
// a long chain never waits in the kept tail.
class ParameterizedEscapeSequence final : public EscapeSequence {
public:
    // Reads the sequence whose ESC is at position escape.
    SequenceState Process(const DataBuffer& buffer, uint64_t escape) override;
    // Reads on in a chain of command bytes from position; Length is then
    // counted from position.
    SequenceState ResumeChain(const DataBuffer& buffer, uint64_t position);

    // After Incomplete: where to read again, and whether that point lies
    // inside a chain (else it is the ESC).
    uint64_t RestartPosition() const { return mintRestart; }
    bool RestartInChain() const { return mblnRestartInChain; }

private:
    SequenceState mParseFrom(const DataBuffer& buffer, uint64_t command);
    SequenceState mParseGroupForLeftParen(const DataBuffer& buffer, uint64_t command);
    void mAddPaperStrategy(const DataBuffer& buffer, unsigned char letter, uint64_t parameters, uint64_t count);
    SequenceState mParseEscICommand(const DataBuffer& buffer, uint64_t command);
    SequenceState mParseByLayout(const DataBuffer& buffer, uint64_t command, CommandDefinition definition);
    void mAddTabStops(const DataBuffer& buffer, uint64_t first);
    SequenceState mParseNulEndedList(const DataBuffer& buffer, uint64_t command, uint64_t first, uint64_t maximum);
    SequenceState mCompleteAt(uint64_t end);
    SequenceState mIncompleteAt(uint64_t command);

    uint64_t mintStart = 0;
    bool mblnFromEscape = false;
    uint64_t mintRestart = 0;
    bool mblnRestartInChain = false;
};

}  // namespace RawPrintData::ESCP
