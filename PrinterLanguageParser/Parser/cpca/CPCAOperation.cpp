#include "PrinterLanguageParser/Parser/cpca/CPCAOperation.h"

#include "PrinterLanguageParser/Parser/ParserStrategies.h"
#include "PrinterLanguageParser/Parser/cpca/CPCAParser.h"
#include "PrinterLanguageParser/Parser/cpca/CPCAStrategies.h"

namespace RawPrintData::CPCA {

// The code is the big-endian word at bytes 4 and 5 of the header, the data
// length the one at bytes 8 and 9.
CPCAOperation::CPCAOperation(const DataBuffer& buffer, uint64_t position)
{
    const uint64_t total = buffer.Length();
    if (position > total || total - position < CPCAParser::mintCPCA_HEADER_SIZE)
        return;
    mintOperationCode = mByteOrder.Combine_uint16(buffer[position + 4], buffer[position + 5]);
    mintDataLength = mByteOrder.Combine_uint16(buffer[position + 8], buffer[position + 9]);
    if (mintOperationCode == mintPRINT_DATA_OPERATION) {
        if (total - position == CPCAParser::mintCPCA_HEADER_SIZE)
            return;
        mvecStrategies.push_back(std::make_unique<SwitchLanguageStrategy>(LANGUAGE_UNKNOWN));
    } else {
        mvecStrategies.push_back(std::make_unique<SkipBytesStrategy>(mintDataLength));
    }
    mblnValid = true;
}

// Runs the strategies.
void CPCAOperation::ExecuteStrategy(CPCAParser& parser) const
{
    for (const auto& strategy : mvecStrategies)
        strategy->Execute(&parser);
}

}  // namespace RawPrintData::CPCA
