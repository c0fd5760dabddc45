#pragma once

#include <cstddef>
#include <cstdint>

namespace RawPrintData {

// Bounds that keep one job's analysis in constant memory and time whatever the
// printer data says.

// The most bytes a parser may leave unconsumed across chunks. A parser waits
// for a cut command by leaving it unconsumed; a tail longer than this is no
// command, so the job fails with PARSE_RESULT_FAILURE. Parsers skip long
// data (raster, downloads) with a counter instead of waiting for it.
inline constexpr uint64_t MAX_KEPT_TAIL_BYTES = 1024 * 1024;

// The most copies a job can ask for; larger counts from printer data are cut
// to this (the CUPS scheduler's own limit).
inline constexpr uint64_t MAX_COPIES = 9999;

// The most distinct paper sizes a job opens as page sets; pages of further
// sizes count in the default page set.
inline constexpr size_t MAX_PAGE_SETS = 1024;

// The most language switches in a row that consume no byte before the job is
// given up as a loop.
inline constexpr int MAX_SWITCHES_WITHOUT_PROGRESS = 32;

}  // namespace RawPrintData
