#pragma once

#include <cstdint>
#include <string_view>

namespace RawPrintData::Postscript {

// Number conversion for text read from PostScript jobs and DSC comments. The
// rules follow the C library's atoi and atof (leading white space skipped, an
// optional sign, conversion stops at the first character that does not fit),
// but they never depend on the process locale and never overflow: integers
// saturate at the limits of int64_t, reals at infinity.

// The leading decimal integer of the text, 0 when there is none.
int64_t ReadLeadingInteger(std::string_view text);

// The leading real number of the text, 0 when there is none.
double ReadLeadingReal(std::string_view text);

// The leading integer as a count: negative values give 0, larger values than
// the type holds give its maximum.
unsigned long ReadLeadingCount(std::string_view text);

}  // namespace RawPrintData::Postscript
