#pragma once

#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "PrinterLanguageParser/Parser/JobBytes.h"

#include <cstdint>
#include <span>

// Reads arbitrary bytes as a job of one of the formats read whole (PDF,
// raster), as the hook does: the data fed, then the same bytes given to the
// reader at the end.
inline void ReadWholeJob(RawPrintData::RawLanguageType language, std::span<const uint8_t> job)
{
    RawPrintData::CRawDataHandler handler(language);
    handler.ParseData(job.data(), job.size());
    const RawPrintData::MemoryJobBytes bytes(job);
    handler.SetJobBytes(&bytes);
    handler.ParseDone();
    handler.GetTotalPageCount();
}
