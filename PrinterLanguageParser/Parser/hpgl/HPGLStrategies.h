#pragma once

#include "PrinterLanguageParser/Parser/LanguageStrategy.h"

#include <cstdint>

namespace RawPrintData {
namespace HPGL {
class HPGLParser;
}
// Instantiated in HPGLStrategies.cpp, where the parser class is known.
extern template class LanguageStrategy<HPGL::HPGLParser>;
}  // namespace RawPrintData

namespace RawPrintData::HPGL {

// Base of the strategies that act on the HP-GL/2 parser itself.
using IParserStrategy = LanguageStrategy<HPGLParser>;

// PS: sets the plot size, given in plotter units of 0.025 mm.
class SetPlotSizeStrategy final : public IParserStrategy {
public:
    SetPlotSizeStrategy(uint64_t width, uint64_t length) : mintWidth(width), mintLength(length) {}

    // Plotter units to tenths of a millimetre.
    static uint64_t mintConvertPlotterUnitsToTenthsMM(uint64_t plotterUnits) { return plotterUnits / 4; }

    using IParserStrategy::Execute;
    void Execute(HPGLParser& parser) const override;

private:
    uint64_t mintWidth;
    uint64_t mintLength;
};

// DT: sets the byte that ends label text.
class SetLabelTerminatorStrategy final : public IParserStrategy {
public:
    explicit SetLabelTerminatorStrategy(unsigned char terminator) : mbytTerminator(terminator) {}

    using IParserStrategy::Execute;
    void Execute(HPGLParser& parser) const override;

private:
    unsigned char mbytTerminator;
};

}  // namespace RawPrintData::HPGL
