#pragma once

#include "PrinterLanguageParser/Parser/EscapeSequenceBase.h"
#include "PrinterLanguageParser/Parser/escp/ESCPStrategies.h"

namespace RawPrintData::ESCP {

class ESCPParser;

// An ESC/P escape sequence with its strategies.
using EscapeSequence = EscapeSequenceBase<ESCPParser, Strategy>;

}  // namespace RawPrintData::ESCP
