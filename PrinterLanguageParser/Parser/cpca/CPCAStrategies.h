#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParserStrategy.h"

#include <cstdint>

namespace RawPrintData::CPCA {

class CPCAParser;

// Base of the strategies that act on the CPCA parser itself.
class IParserStrategy : public IRawDataParserStrategy {
public:
    // Runs the strategy when the parser is a CPCA parser.
    void Execute(IRawDataParser* parser) const final;

protected:
    virtual void mExecute(CPCAParser& parser) const = 0;
};

// Passes an operation's data over.
class SkipBytesStrategy final : public IParserStrategy {
public:
    explicit SkipBytesStrategy(uint64_t count) : mintCount(count) {}

protected:
    void mExecute(CPCAParser& parser) const override;

private:
    uint64_t mintCount;
};

}  // namespace RawPrintData::CPCA
