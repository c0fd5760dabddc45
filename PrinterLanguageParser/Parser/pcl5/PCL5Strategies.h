#pragma once

#include "PrinterLanguageParser/Parser/LanguageStrategy.h"
#include "PrinterLanguageParser/Parser/ParserStrategies.h"

#include <cstdint>
#include <variant>

namespace RawPrintData {
namespace PCL5 {
class PCL5Parser;
}
// Instantiated in PCL5Strategies.cpp, where the parser class is known.
extern template class LanguageStrategy<PCL5::PCL5Parser>;
}  // namespace RawPrintData

namespace RawPrintData::PCL5 {

// Base of the strategies that act on the PCL5Parser itself.
using IParserStrategy = LanguageStrategy<PCL5Parser>;

// Sets the paper of the pages that follow (ESC & l # A).
class SetPaperSizeStrategy final : public IParserStrategy {
public:
    explicit SetPaperSizeStrategy(int32_t paperSize) : mintPaperSize(paperSize) {}
    using IParserStrategy::Execute;
    void Execute(PCL5Parser& parser) const override;

private:
    int32_t mintPaperSize;
};

// Passes over the data that a command announces.
class SkipBytesStrategy final : public IParserStrategy {
public:
    explicit SkipBytesStrategy(uint64_t count) : mintCount(count) {}
    using IParserStrategy::Execute;
    void Execute(PCL5Parser& parser) const override;

private:
    uint64_t mintCount;
};

// Notes that something is drawn on the current page (raster rows, printed
// data, a filled rectangle), so that an eject prints it.
class MarkPageStrategy final : public IParserStrategy {
public:
    using IParserStrategy::Execute;
    void Execute(PCL5Parser& parser) const override;
};

// Ejects the current page when something is drawn on it (ESC & l # H).
class EjectPageStrategy final : public IParserStrategy {
public:
    using IParserStrategy::Execute;
    void Execute(PCL5Parser& parser) const override;
};

// Raster settings and rows, which the parser's colour watch follows.
class RasterStrategy final : public IParserStrategy {
public:
    enum class Kind {
        Planes,       // ESC * r # U
        ImageData,    // ESC * v # W and its data
        RasterConfiguration,  // ESC * g # W and its data
        DriverConfiguration,  // ESC * o # W and its data
        Start,        // ESC * r # A
        Resolution,   // ESC * t # R
        MoveDown,     // ESC & a + # V
    };
    RasterStrategy(Kind kind, int32_t value) : mKind(kind), mintValue(value) {}
    using IParserStrategy::Execute;
    void Execute(PCL5Parser& parser) const override;

private:
    Kind mKind;
    int32_t mintValue;
};

// Every strategy a PCL 5 escape sequence can carry, held by value so that
// reading a sequence allocates nothing once the parser has warmed up.
using Strategy = std::variant<NextPageStrategy, ResetParserStrategy, SwitchLanguageStrategy,
                              SetJobPropertyStrategy<bool>, SetJobPropertyStrategy<unsigned long>,
                              SetJobPropertyStrategy<RawColorType>, SetJobPropertyStrategy<RawPaperOrientation>,
                              SetPaperSizeStrategy, SkipBytesStrategy, MarkPageStrategy, EjectPageStrategy, RasterStrategy>;

}  // namespace RawPrintData::PCL5
