#pragma once

#include "PrinterLanguageParser/Parser/JobBytes.h"

#include <cstdint>

namespace RawPrintData {

// The pages a job that could not be counted holds at least, by what its
// data says besides the reader that gave up: the largest DSC "%%Pages:"
// comment, and, for a PDF (also one with bytes before its "%PDF-"), the
// leaves of its page tree as qpdf lists them. 0 when the data says neither.
uint64_t FallbackPageCount(const IJobBytes& job);

}  // namespace RawPrintData
