#pragma once

#include "PrinterLanguageParser/Parser/pcl5/PCL5PaperSize.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace RawPrintData::ESCP {

// The papers that Epson's commands name or measure, taken from the parser's
// known papers (the PCL 5 page-size table), so that an A4 page is the same
// page set whichever language printed it.
using KnownPaper = PCL5::PCL5Paper;

// The paper of an ESC/Page paper-size code (GS n psE), or none.
std::optional<KnownPaper> EscPagePaper(int64_t code);

// The paper of an EJL paper name (PS=A4, PAPER=LT), or none.
std::optional<KnownPaper> EjlPaper(std::string_view name);

// The known paper whose width lies within 2 mm of the width given (0 when
// only the length is known) and whose length is the nearest to the length
// given, from 2 mm shorter to 9 mm longer: Epson inkjet drivers state a
// page length that includes the margin they feed past the paper's end.
std::optional<KnownPaper> PaperOfSize(int64_t width, int64_t length);

}  // namespace RawPrintData::ESCP
