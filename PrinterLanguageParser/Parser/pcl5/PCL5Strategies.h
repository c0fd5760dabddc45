#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParserStrategy.h"
#include "PrinterLanguageParser/Parser/ParserStrategies.h"

#include <cstdint>
#include <type_traits>
#include <variant>

namespace RawPrintData::PCL5 {

class PCL5Parser;

// Base of the strategies that act on the PCL 5 parser itself: the frame's
// Execute finds the PCL 5 parser and calls the PCL 5 one.
class IParserStrategy : public IRawDataParserStrategy {
public:
    void Execute(IRawDataParser* parser) const override;
    virtual void Execute(PCL5Parser& parser) const = 0;
};

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

// Every strategy a PCL 5 escape sequence can carry, held by value so that
// reading a sequence allocates nothing once the parser has warmed up.
using Strategy = std::variant<NextPageStrategy, ResetParserStrategy, SwitchLanguageStrategy,
                              SetJobPropertyStrategy<bool>, SetJobPropertyStrategy<unsigned long>,
                              SetJobPropertyStrategy<RawColorType>, SetJobPropertyStrategy<RawPaperOrientation>,
                              SetPaperSizeStrategy, SkipBytesStrategy>;

}  // namespace RawPrintData::PCL5
