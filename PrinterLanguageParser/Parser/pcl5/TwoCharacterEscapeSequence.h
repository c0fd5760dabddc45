#pragma once

#include "PrinterLanguageParser/Parser/pcl5/EscapeSequence.h"

namespace RawPrintData::PCL5 {

// ESC and one character from "0" to "~"; of these only ESC E (printer reset)
// bears on accounting.
class TwoCharacterEscapeSequence final : public EscapeSequence {
public:
    // The caller has made sure both bytes are at hand.
    SequenceState Process(const DataBuffer& buffer, uint64_t escape) override;
};

}  // namespace RawPrintData::PCL5
