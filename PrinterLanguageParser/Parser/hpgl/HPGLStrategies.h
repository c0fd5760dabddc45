#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParserStrategy.h"

#include <cstdint>

namespace RawPrintData::HPGL {

class HPGLParser;

// Base of the strategies that act on the HP-GL/2 parser itself.
class IParserStrategy : public IRawDataParserStrategy {
public:
    // Runs the strategy when the parser is an HP-GL/2 parser.
    void Execute(IRawDataParser* parser) const final;

protected:
    virtual void mExecute(HPGLParser& parser) const = 0;
};

// PS: sets the plot size, given in plotter units of 0.025 mm.
class SetPlotSizeStrategy final : public IParserStrategy {
public:
    SetPlotSizeStrategy(uint64_t width, uint64_t length) : mintWidth(width), mintLength(length) {}

    // Plotter units to tenths of a millimetre.
    static uint64_t mintConvertPlotterUnitsToTenthsMM(uint64_t plotterUnits) { return plotterUnits / 4; }

protected:
    void mExecute(HPGLParser& parser) const override;

private:
    uint64_t mintWidth;
    uint64_t mintLength;
};

// DT: sets the byte that ends label text.
class SetLabelTerminatorStrategy final : public IParserStrategy {
public:
    explicit SetLabelTerminatorStrategy(unsigned char terminator) : mbytTerminator(terminator) {}

protected:
    void mExecute(HPGLParser& parser) const override;

private:
    unsigned char mbytTerminator;
};

}  // namespace RawPrintData::HPGL
