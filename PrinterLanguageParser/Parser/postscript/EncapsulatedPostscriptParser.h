#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptParser.h"

#include <cstdint>

namespace RawPrintData::Postscript {

// Encapsulated PostScript with the 30-byte binary header: the PostScript
// section is read by an inner PostScript parser (with the EPS keywords); the
// header and the previews before and after it are skipped.
class EncapsulatedPostscriptParser : public IRawDataParser {
public:
    static constexpr uint64_t mintHEADER_LENGTH = 30;

    EncapsulatedPostscriptParser();

    ParseDataResultType ParseData(const DataBuffer& buffer) override;
    ParseDataResultType ParseDone() override;
    void NotifyDefaultPageCompleted() override;
    void Reset() override;
    // The inner parser reports straight to the listeners.
    void AddListener(IRawDataParserListener* listener) override;
    void RemoveListener(IRawDataParserListener* listener) override;

    const PostscriptParser& Inner() const { return mInner; }

private:
    enum State { STATE_HEADER, STATE_SKIPPING, STATE_POSTSCRIPT, STATE_DONE };

    // Gives the inner parser the section's bytes from the buffer's index on.
    ParseDataResultType mParseSection(const DataBuffer& buffer, uint64_t start);

    State mintState = STATE_HEADER;
    uint64_t mintBytesToSkip = 0;
    uint64_t mintBytesLeft = 0;
    bool mblnSectionStarted = false;
    PostscriptParser mInner;
};

}  // namespace RawPrintData::Postscript
