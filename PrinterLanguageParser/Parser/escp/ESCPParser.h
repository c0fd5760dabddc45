#pragma once

#include "PrinterLanguageParser/Parser/EscapeLanguageParser.h"
#include "PrinterLanguageParser/Parser/escp/ParameterizedEscapeSequence.h"

#include <cstdint>
#include <string_view>

namespace RawPrintData::ESCP {

// Reads ESC/P, ESC/P 2 and ESC/Page: a page at every form feed, coloured by
// the colour commands on it. Raster data and remote-mode commands are skipped
// unread, so that bytes inside them are never taken for form feeds or escapes.
// ESC/P reports no job property and never changes language.
class ESCPParser final : public EscapeLanguageParser {
public:
    // The end of remote mode, ESC 00 00 00.
    static constexpr std::string_view mbytESCP2_ParenRCommand_END{"\x1B\0\0\0", 4};
    static constexpr uint64_t mintESCP2_ParenRCommand_END_LENGTH = mbytESCP2_ParenRCommand_END.size();

    ParseDataResultType ParseData(const DataBuffer& buffer) override;
    // A page that no form feed closed is not counted.
    ParseDataResultType ParseDone() override { return PARSE_RESULT_HANDLED; }

    // Marks the current page colour; only COLOR_TYPE_COLOR does, and nothing
    // but the end of the page clears it.
    void SetColor(RawColorType color);
    // Passes over run-length encoded data that decodes to the given length.
    void SkipRunLengthData(uint64_t decodedLength);
    // Passes over remote-mode commands up to and including the end marker.
    void SkipRemoteMode();

private:
    bool mWalkRunLengthData(const DataBuffer& buffer, uint64_t& position);
    bool mSkipRemoteMode(const DataBuffer& buffer, uint64_t& position);
    bool mHandleSequence(const DataBuffer& buffer, uint64_t& position, SequenceState state);

    // Decoded bytes of run-length encoded raster data still to walk over.
    uint64_t mintRunLengthLeft = 0;
    bool mblnRemoteMode = false;
    // A chain of passed-over command bytes goes on at the start of the data.
    bool mblnInCommandChain = false;
    ParameterizedEscapeSequence mSequence;
};

}  // namespace RawPrintData::ESCP
