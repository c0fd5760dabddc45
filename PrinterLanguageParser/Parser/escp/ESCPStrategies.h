#pragma once

#include "PrinterLanguageParser/Parser/LanguageStrategy.h"
#include "PrinterLanguageParser/Parser/ParserStrategies.h"
#include "PrinterLanguageParser/Parser/RawJobTypes.h"

#include <cstdint>
#include <variant>

namespace RawPrintData {
namespace ESCP {
class ESCPParser;
}
// Instantiated in ESCPStrategies.cpp, where the parser class is known.
extern template class LanguageStrategy<ESCP::ESCPParser>;
}  // namespace RawPrintData

namespace RawPrintData::ESCP {

// Base of the strategies that act on the ESCPParser itself.
using IParserStrategy = LanguageStrategy<ESCPParser>;

// Passes over remote-mode commands up to the end marker ESC 00 00 00.
class SkipRemoteModeStrategy final : public IParserStrategy {
public:
    using IParserStrategy::Execute;
    void Execute(ESCPParser& parser) const override;
};

// Sets the units of ESC ( U, in inches per unit: of the paper commands, of
// vertical moves and of horizontal moves.
class SetPageUnitStrategy final : public IParserStrategy {
public:
    SetPageUnitStrategy(double page, double vertical, double horizontal)
        : mdblPage(page), mdblVertical(vertical), mdblHorizontal(horizontal)
    {
    }
    using IParserStrategy::Execute;
    void Execute(ESCPParser& parser) const override;

private:
    double mdblPage;
    double mdblVertical;
    double mdblHorizontal;
};

// A block of raster rows: ESC i (its own ink, ESC ( D's spacing) or ESC .
// (the selected ink, its own densities), with its compression and the
// length its rows decode to.
struct RasterBlock {
    bool mblnOwnInk = false;
    unsigned int mintInkCode = 0;
    unsigned int mintCompression = 0;
    uint32_t mintBitsPerDot = 1;
    uint64_t mintBytesPerRow = 0;
    uint64_t mintRows = 0;
    // ESC . : row spacing and dot width in inches (0 for ESC i).
    double mdblRowPitch = 0;
    double mdblDotWidth = 0;
    // The data: raw, run-length encoded, binary commands up to EXIT, or the
    // columns of a bit image (mintBytesPerRow columns of mintRows pins,
    // mdblRowPitch apart, top pin first in each byte's top bit).
    enum class Data : uint8_t { Raw, RunLength, Binary, None, Columns } mData = Data::Raw;
};

class RasterBlockStrategy final : public IParserStrategy {
public:
    explicit RasterBlockStrategy(const RasterBlock& block) : mBlock(block) {}
    using IParserStrategy::Execute;
    void Execute(ESCPParser& parser) const override;

private:
    RasterBlock mBlock;
};

// Selects the ink of text, bit images and ESC . raster: ESC r's code
// (mblnSelection) or ESC ( r's colour code.
class SelectInkStrategy final : public IParserStrategy {
public:
    SelectInkStrategy(unsigned int code, bool selection) : mintCode(code), mblnSelection(selection) {}
    using IParserStrategy::Execute;
    void Execute(ESCPParser& parser) const override;

private:
    unsigned int mintCode;
    bool mblnSelection;
};

// A change of the print position or of what moves it.
enum class Motion : uint8_t {
    Down,           // relative, in vertical units (ESC ( v) or inches
    ToRow,          // absolute, in vertical units (ESC ( V)
    Across,         // relative, in horizontal units (ESC \)
    ToColumn,       // absolute, in horizontal units (ESC ( $, ESC $)
    LineSpacing,    // in inches (ESC +, ESC 3, ESC 0, ESC 2, ESC A)
    RasterPitch,    // ESC ( D: row spacing (amount) and dot width (second), inches
    Reset,          // ESC @
    CharacterPitch, // in inches (ESC P, ESC M, ESC g); 0 when not known
    LeftMargin,     // in columns (ESC l)
    TabStop,        // in columns: the first of ESC D's list clears the others
    NextTabStop,    // the rest of ESC D's list
};

class PrintPositionStrategy final : public IParserStrategy {
public:
    // inchesPerAmount 0: the amount is in the unit of ESC ( U.
    PrintPositionStrategy(Motion motion, double amount, double inchesPerAmount = 0, double second = 0)
        : mMotion(motion), mdblAmount(amount), mdblInchesPerAmount(inchesPerAmount), mdblSecond(second)
    {
    }
    using IParserStrategy::Execute;
    void Execute(ESCPParser& parser) const override;

private:
    Motion mMotion;
    double mdblAmount;
    double mdblInchesPerAmount;
    double mdblSecond;
};

// Sizes the page from ESC ( S (width and length) or ESC ( C (length only,
// width 0), in the unit of the paper commands.
class SetPaperDimensionsStrategy final : public IParserStrategy {
public:
    SetPaperDimensionsStrategy(uint64_t width, uint64_t length) : mintWidth(width), mintLength(length) {}
    using IParserStrategy::Execute;
    void Execute(ESCPParser& parser) const override;

private:
    uint64_t mintWidth;
    uint64_t mintLength;
};

// Every strategy an ESC/P escape sequence can carry, held by value.
using Strategy =
    std::variant<SkipRemoteModeStrategy, SetPageUnitStrategy, SetPaperDimensionsStrategy, RasterBlockStrategy,
                 SelectInkStrategy, PrintPositionStrategy>;

}  // namespace RawPrintData::ESCP
