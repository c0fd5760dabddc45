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

// Marks the current page colour when the colour is COLOR_TYPE_COLOR.
class SetPageColorStrategy final : public IParserStrategy {
public:
    explicit SetPageColorStrategy(RawColorType color) : mintColor(color) {}
    using IParserStrategy::Execute;
    void Execute(ESCPParser& parser) const override;

private:
    RawColorType mintColor;
};

// Passes over raw raster data of a known length.
class SkipBytesStrategy final : public IParserStrategy {
public:
    explicit SkipBytesStrategy(uint64_t count) : mintCount(count) {}
    using IParserStrategy::Execute;
    void Execute(ESCPParser& parser) const override;

private:
    uint64_t mintCount;
};

// Passes over run-length encoded raster data that decodes to a known length.
class SkipRunLengthDataStrategy final : public IParserStrategy {
public:
    explicit SkipRunLengthDataStrategy(uint64_t decodedLength) : mintDecodedLength(decodedLength) {}
    using IParserStrategy::Execute;
    void Execute(ESCPParser& parser) const override;

private:
    uint64_t mintDecodedLength;
};

// Passes over remote-mode commands up to the end marker ESC 00 00 00.
class SkipRemoteModeStrategy final : public IParserStrategy {
public:
    using IParserStrategy::Execute;
    void Execute(ESCPParser& parser) const override;
};

// Passes over the binary commands of compressed raster graphics (ESC . 2,
// ESC . 3) up to their EXIT.
class SkipBinaryRasterStrategy final : public IParserStrategy {
public:
    using IParserStrategy::Execute;
    void Execute(ESCPParser& parser) const override;
};

// Sets the unit of the paper commands (ESC ( U), in inches per unit.
class SetPageUnitStrategy final : public IParserStrategy {
public:
    explicit SetPageUnitStrategy(double inchesPerUnit) : mdblInchesPerUnit(inchesPerUnit) {}
    using IParserStrategy::Execute;
    void Execute(ESCPParser& parser) const override;

private:
    double mdblInchesPerUnit;
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
using Strategy = std::variant<SetPageColorStrategy, SkipBytesStrategy, SkipRunLengthDataStrategy, SkipRemoteModeStrategy,
                              SkipBinaryRasterStrategy, SetPageUnitStrategy, SetPaperDimensionsStrategy>;

}  // namespace RawPrintData::ESCP
