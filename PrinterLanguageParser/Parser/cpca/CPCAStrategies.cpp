#include "PrinterLanguageParser/Parser/cpca/CPCAStrategies.h"

#include "PrinterLanguageParser/Parser/cpca/CPCAParser.h"

namespace RawPrintData {
template class LanguageStrategy<CPCA::CPCAParser>;
}  // namespace RawPrintData

namespace RawPrintData::CPCA {

// Skips the count.
void SkipBytesStrategy::Execute(CPCAParser& parser) const
{
    parser.AdvanceBytePosition(mintCount);
}

}  // namespace RawPrintData::CPCA
