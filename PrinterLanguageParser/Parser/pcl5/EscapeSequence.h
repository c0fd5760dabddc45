#pragma once

#include "PrinterLanguageParser/Parser/EscapeSequenceBase.h"
#include "PrinterLanguageParser/Parser/pcl5/PCL5Strategies.h"

namespace RawPrintData::PCL5 {

class PCL5Parser;

// A PCL 5 escape sequence with its strategies.
using EscapeSequence = EscapeSequenceBase<PCL5Parser, Strategy>;

}  // namespace RawPrintData::PCL5
