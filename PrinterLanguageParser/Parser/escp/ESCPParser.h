#pragma once

#include "PrinterLanguageParser/Parser/ContiguousBytes.h"
#include "PrinterLanguageParser/Parser/EscapeLanguageParser.h"
#include "PrinterLanguageParser/Parser/escp/EscPageColour.h"
#include "PrinterLanguageParser/Parser/escp/EscPageCommand.h"
#include "PrinterLanguageParser/Parser/escp/EscpPaper.h"
#include "PrinterLanguageParser/Parser/escp/InkCoverage.h"
#include "PrinterLanguageParser/Parser/escp/ParameterizedEscapeSequence.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace RawPrintData::ESCP {

// Reads ESC/P, ESC/P 2 and ESC/Page: a page at every form feed, sized by the
// paper its commands select (EJL PS= and PAPER=, ESC/Page's GS psE, ESC/P 2's
// ESC ( S and ESC ( C). A page is colour by the colour rule: the raster rows
// of colour inks (ESC i, ESC . ; uncompressed or run-length encoded) are
// decoded as they stream by and judged by where their ink lands
// (InkCoverage), and so are ESC/P bit images of the 8-dot and 24-dot modes
// (ESC *, ESC K/L/Y/Z) placed by the print position (tab stops, ESC $,
// ESC \, carriage returns, line feeds). Text printed in a colour ink, bit
// images of other modes or where the position cannot be told, and raster
// in another compression cannot be judged and count as colour. ESC/Page's
// marks in colour count by their area (EscPageColour). ESC/Page's
// command data and remote-mode commands are skipped unread, so that bytes
// inside them are never taken for form feeds or escapes. ESC/P reports no
// job property and never changes language.
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
    // Reads (a colour ink's rows, while the page may still be mono) or
    // passes over a block of raster rows or a bit image.
    void BeginRasterBlock(const RasterBlock& block);
    // ESC r (selection) or ESC ( r.
    void SelectInk(unsigned int code, bool selection);
    void MovePrintPosition(Motion motion, double amount, double inchesPerAmount, double second);
    // Passes over remote-mode commands up to and including the end marker.
    void SkipRemoteMode();
    // Sets the units of ESC/P 2's paper commands and moves.
    void SetPageUnit(double page, double vertical, double horizontal);
    // Sizes the page from ESC/P 2's paper width (0 when not given) and length.
    void SetPaperDimensions(uint64_t width, uint64_t length);

private:
    bool mWalkRunLengthData(const DataBuffer& buffer, uint64_t& position);
    void mPassRunLengthUnits(const DataBuffer& buffer, uint64_t& position);
    bool mReadRawRaster(const DataBuffer& buffer, uint64_t& position);
    bool mReadBitImage(const DataBuffer& buffer, uint64_t& position);
    void mJudgeBitImage();
    void mNoteTextMoves(const DataBuffer& buffer, uint64_t from, uint64_t to);
    void mTab();
    void mFeedInks(const DataBuffer& buffer, uint64_t from, uint64_t count);
    void mReadLineControls(const DataBuffer& buffer, uint64_t& position);
    void mNoteText(const DataBuffer& buffer, uint64_t from, uint64_t to);
    void mEndPage();
    bool mSkipRemoteMode(const DataBuffer& buffer, uint64_t& position);
    bool mWalkBinaryRaster(const DataBuffer& buffer, uint64_t& position);
    bool mReadEjlLines(const DataBuffer& buffer, uint64_t& position);
    void mReadEjlLine(std::string_view line);
    void mActOnEscPageCommand();
    bool mReadEscPageData(const DataBuffer& buffer, uint64_t& position);
    bool mHandleSequence(const DataBuffer& buffer, uint64_t& position, SequenceState state);
    // Gives the page a known paper, or none.
    void mSetPaper(const std::optional<KnownPaper>& paper);

    // Decoded bytes of run-length encoded raster data still to walk over,
    // whether they are read, and the unit being walked: literal bytes left
    // (and of them, those still to read), or a run whose byte comes next.
    uint64_t mintRunLengthLeft = 0;
    bool mblnReadRunLength = false;
    uint64_t mintLiteralLeft = 0;
    uint64_t mintLiteralToRead = 0;
    bool mblnRunByteNext = false;
    uint64_t mintRunCount = 0;
    // Raw raster bytes still to read.
    uint64_t mintRawLeft = 0;
    // The bit image being read: its block, ink and first column, and its
    // bytes, of which mintColumnBytesLeft are still to come.
    RasterBlock mColumnBlock;
    InkCoverage::Ink mColumnInk = InkCoverage::Ink::Neutral;
    double mdblColumnsX = 0;
    uint64_t mintColumnBytesLeft = 0;
    std::vector<unsigned char> mColumnBytes;
    // What places a bit image across the line: the width of a character
    // (0 when not known), the tab stops in inches (ESC D, in the characters
    // of the moment), and whether the print position cannot be told: text
    // or a tab to unknown stops moved it (until a carriage return or an
    // absolute move), a line feed in text (until the page ends), a left
    // margin (until ESC l 0 or ESC @).
    double mdblCharacterInches = 0.1;
    static std::vector<double> mDefaultTabStops();
    std::vector<double> mTabStops = mDefaultTabStops();
    bool mblnTabsUnknown = false;
    bool mblnColumnUnknown = false;
    bool mblnRowUnknown = false;
    bool mblnMarginUnknown = false;
    // Where the inks land, and the ink selected for text, bit images and
    // ESC . raster.
    InkCoverage mInks;
    InkCoverage::Ink mSelectedInk = InkCoverage::Ink::Neutral;
    // After a command or raster data: carriage returns and line feeds move
    // the print position.
    bool mblnAfterCommand = false;
    bool mblnRemoteMode = false;
    // Between ESC/P 2's ESC . 2 or ESC . 3 and its EXIT.
    bool mblnBinaryRaster = false;
    // Inside the EJL lines that follow ESC 01.
    bool mblnInEjl = false;
    // ESC/P 2's paper unit (ESC ( U; 1/360 inch until set) and the paper
    // width ESC ( S gave, in tenths of a millimetre.
    double mdblPageUnitInches = 1.0 / 360;
    uint64_t mintPaperWidth = 0;
    // ESC/Page's unit (GS 0;u muE, u points; 1/300 inch until set).
    double mdblEscPageUnitPoints = 0.24;
    // Bytes of an ESC/Page command's data still to give to the colour judge.
    uint64_t mintEscPageDataLeft = 0;
    // ESC/Page image data was sent since the last page ended.
    bool mblnEscPageMarked = false;
    EscPageCommand mEscPageCommand;
    EscPageColour mEscPageColour;
    // A contiguous view of the GS command or EJL line being read.
    ContiguousBytes mCommandBytes;
    // A chain of passed-over command bytes goes on at the start of the data.
    bool mblnInCommandChain = false;
    ParameterizedEscapeSequence mSequence;
};

}  // namespace RawPrintData::ESCP
