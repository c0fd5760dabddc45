#pragma once

#include "PrinterLanguageParser/Parser/WholeJobParser.h"

#include <cstdint>

namespace RawPrintData::Raster {

// PWG Raster and Apple Raster (URF), read with the CUPS library's raster
// stream. The library pulls its bytes through a read callback and cannot be
// resumed once that callback runs dry, so it reads the job's kept bytes at
// the end rather than the chunks as they come; it holds one line of pixels
// at a time. Each page header gives the page's paper, copies and duplex; a
// page in a grey colour space is mono, one in another space is colour when a
// pixel is not grey.
class RasterParser final : public WholeJobParser {
public:
    // The longest line read: no printer's line comes near it, so a header
    // that claims more is broken.
    static constexpr unsigned MAX_BYTES_PER_LINE = 1024 * 1024;

    // The most lines' bytes a job may decode: a line repeated 256 times in
    // runs of 128 pixels makes gigabytes of a few kilobytes. At least
    // MINIMUM_DECODED_BYTES, more for a large job. A page whose lines could
    // not all be read counts as colour when it may be colour.
    static constexpr uint64_t MINIMUM_DECODED_BYTES = 4ull * 1024 * 1024 * 1024;
    static constexpr uint64_t DECODED_BYTES_PER_JOB_BYTE = 256;

    // signature: LANGUAGE_HEADER_PWG_RASTER or LANGUAGE_HEADER_APPLE_RASTER.
    explicit RasterParser(std::string_view signature);

protected:
    ParseDataResultType ReadJob(const IJobBytes& job) override;
};

}  // namespace RawPrintData::Raster
