#include "PrinterLanguageParser/Parser/raster/RasterParser.h"

#include "PrinterLanguageParser/Parser/raster/RasterPixels.h"

#include <cups/raster.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace RawPrintData::Raster {

namespace {

// Where the CUPS library's reads of the job have got to.
struct ReadCursor {
    const IJobBytes* mJob;
    uint64_t mintOffset = 0;
    bool mblnReadError = false;
};

// The read callback of the raster stream: the next bytes of the job.
ssize_t ReadJobBytes(void* context, unsigned char* buffer, size_t length)
{
    auto* cursor = static_cast<ReadCursor*>(context);
    const int64_t read = cursor->mJob->ReadAt(cursor->mintOffset, std::span<unsigned char>(buffer, length));
    if (read < 0) {
        cursor->mblnReadError = true;
        return -1;
    }
    cursor->mintOffset += static_cast<uint64_t>(read);
    return static_cast<ssize_t>(read);
}

struct RasterCloser {
    void operator()(cups_raster_t* raster) const { cupsRasterClose(raster); }
};

// The page's size in points: the exact size where the header has it, else
// the whole points (Apple Raster gives only its pixels and resolution).
std::pair<double, double> PageSizeOf(const cups_page_header2_t& header)
{
    if (header.cupsPageSize[0] > 0 && header.cupsPageSize[1] > 0)
        return {header.cupsPageSize[0], header.cupsPageSize[1]};
    if (header.PageSize[0] > 0 && header.PageSize[1] > 0)
        return {header.PageSize[0], header.PageSize[1]};
    if (header.HWResolution[0] > 0 && header.HWResolution[1] > 0)
        return {header.cupsWidth * 72.0 / header.HWResolution[0], header.cupsHeight * 72.0 / header.HWResolution[1]};
    return {0, 0};
}

}  // namespace

RasterParser::RasterParser(std::string_view signature) : WholeJobParser(signature, "RasterParser") {}

// Reads page header after page header; the lines of a page that may be colour
// are tested until one is not grey, the rest only read past.
ParseDataResultType RasterParser::ReadJob(const IJobBytes& job)
{
    ReadCursor cursor{&job};
    std::unique_ptr<cups_raster_t, RasterCloser> raster(cupsRasterOpenIO(&ReadJobBytes, &cursor, CUPS_RASTER_READ));
    if (!raster) {
        Log(LOG_ERROR, "RasterParser::ParseDone - Not a raster stream: %s", cupsRasterErrorString());
        return PARSE_RESULT_FAILURE;
    }
    cups_page_header2_t header;
    std::vector<unsigned char> line;
    unsigned long pages = 0;
    unsigned long copies = 1;
    bool duplex = false;
    ParseDataResultType result = PARSE_RESULT_HANDLED;
    const uint64_t budget = std::max(MINIMUM_DECODED_BYTES,
                                     job.Size() > UINT64_MAX / DECODED_BYTES_PER_JOB_BYTE
                                         ? UINT64_MAX
                                         : job.Size() * DECODED_BYTES_PER_JOB_BYTE);
    uint64_t decoded = 0;
    while (cupsRasterReadHeader2(raster.get(), &header) != 0) {
        if (header.cupsBytesPerLine == 0 || header.cupsBytesPerLine > MAX_BYTES_PER_LINE) {
            Log(LOG_ERROR, "RasterParser::ParseDone - Page %lu claims %u bytes per line; the raster is broken.",
                pages + 1, header.cupsBytesPerLine);
            result = PARSE_RESULT_FAILURE;
            break;
        }
        line.resize(header.cupsBytesPerLine);
        RasterColorTest test = ColorTestFor(header);
        bool whole = true;
        bool spent = false;
        for (unsigned y = 0; y < header.cupsHeight; ++y) {
            decoded += header.cupsBytesPerLine;
            spent = decoded > budget;
            if (spent || cupsRasterReadPixels(raster.get(), line.data(), header.cupsBytesPerLine) == 0) {
                whole = false;
                break;
            }
            if (test == RasterColorTest::Pixels && !IsGreyLine(header, line))
                test = RasterColorTest::Color;
        }
        const auto [width, height] = PageSizeOf(header);
        // Lines not read may hold colour.
        ReportPage(width, height, test == RasterColorTest::Color || (!whole && test == RasterColorTest::Pixels));
        ++pages;
        copies = std::max<unsigned long>(copies, header.NumCopies);
        duplex = duplex || HeaderNumber(header.Duplex) != 0;
        if (spent) {
            Log(LOG_ERROR,
                "RasterParser::ParseDone - Page %lu: work budget of %llu MiB of lines decoded used up; the page "
                "counts as colour where it may be colour, and the rest of the job is not read.",
                pages, static_cast<unsigned long long>(budget >> 20));
            result = PARSE_RESULT_FAILURE;
            break;
        }
        if (!whole) {
            Log(LOG_ERROR, "RasterParser::ParseDone - Page %lu ends before its last line; the raster is cut short.",
                pages);
            result = PARSE_RESULT_FAILURE;
            break;
        }
    }
    if (cursor.mblnReadError) {
        Log(LOG_ERROR, "RasterParser::ParseDone - The job's bytes could not be read.");
        result = PARSE_RESULT_FAILURE;
    } else if (pages == 0 && result == PARSE_RESULT_HANDLED) {
        Log(LOG_ERROR, "RasterParser::ParseDone - No page header could be read: %s", cupsRasterErrorString());
        result = PARSE_RESULT_FAILURE;
    }
    if (copies > 1)
        NotifyJobPropertyChanged(PROPERTY_COPIES, &copies);
    if (duplex)
        NotifyJobPropertyChanged(PROPERTY_DUPLEX, &duplex);
    return result;
}

}  // namespace RawPrintData::Raster
