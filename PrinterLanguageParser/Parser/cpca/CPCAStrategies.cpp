#include "PrinterLanguageParser/Parser/cpca/CPCAStrategies.h"

#include "PrinterLanguageParser/Parser/cpca/CPCAParser.h"

namespace RawPrintData::CPCA {

// Runs the strategy on a CPCA parser; any other parser is left alone.
void IParserStrategy::Execute(IRawDataParser* parser) const
{
    if (auto* cpca = dynamic_cast<CPCAParser*>(parser))
        mExecute(*cpca);
}

// Skips the count.
void SkipBytesStrategy::mExecute(CPCAParser& parser) const
{
    parser.AdvanceBytePosition(mintCount);
}

}  // namespace RawPrintData::CPCA
