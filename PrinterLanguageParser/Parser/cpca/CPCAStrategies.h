#pragma once

#include "PrinterLanguageParser/Parser/LanguageStrategy.h"

#include <cstdint>

namespace RawPrintData {
namespace CPCA {
class CPCAParser;
}
// Instantiated in CPCAStrategies.cpp, where the parser class is known.
extern template class LanguageStrategy<CPCA::CPCAParser>;
}  // namespace RawPrintData

namespace RawPrintData::CPCA {

// Base of the strategies that act on the CPCA parser itself.
using IParserStrategy = LanguageStrategy<CPCAParser>;

// Passes an operation's data over.
class SkipBytesStrategy final : public IParserStrategy {
public:
    explicit SkipBytesStrategy(uint64_t count) : mintCount(count) {}
    using IParserStrategy::Execute;
    void Execute(CPCAParser& parser) const override;

private:
    uint64_t mintCount;
};

}  // namespace RawPrintData::CPCA
