#pragma once

#include "PrinterLanguageParser/Parser/DataBuffer.h"
#include "PrinterLanguageParser/Parser/Endian.h"
#include "PrinterLanguageParser/Parser/IRawDataParserStrategy.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace RawPrintData::CPCA {

class CPCAParser;

// One CPCA operation header: its code, the length of the data that follows,
// and what the parser does with it.
class CPCAOperation {
public:
    // The operation whose data is the job's print data.
    static constexpr uint16_t mintPRINT_DATA_OPERATION = 0x1A;

    // Reads the header at the position; not valid when the data at hand is too
    // short for it (and, for the print data, for one byte after it).
    CPCAOperation(const DataBuffer& buffer, uint64_t position);

    bool IsValid() const { return mblnValid; }
    uint16_t GetOperationCode() const { return mintOperationCode; }
    uint16_t GetDataLength() const { return mintDataLength; }

    // Runs the operation's strategies in order.
    void ExecuteStrategy(CPCAParser& parser) const;

private:
    BigEndian mByteOrder;
    bool mblnValid = false;
    uint16_t mintOperationCode = 0;
    uint16_t mintDataLength = 0;
    std::vector<std::unique_ptr<IRawDataParserStrategy>> mvecStrategies;
};

}  // namespace RawPrintData::CPCA
