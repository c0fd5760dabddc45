#pragma once

#include <cstdint>
#include <vector>

// The measure of one page of decoded raster by the colour rule.
struct PageTruth {
    uint64_t dots = 0;
    double mm2 = 0;
    bool colour = false;
};

// Decodes a PCL raster job for cvk_raster_truth (see PclRasterTruth.cpp) and
// measures each page; false when the job holds raster this decoder cannot
// measure.
bool DecodePclRaster(const std::vector<unsigned char>& job, std::vector<PageTruth>& pages);
// Decodes one row of PCL compression mode 10 (Mode10Truth.cpp) over the row
// before, pixels as 0xRRGGBB, absent ones white; false when the data ends
// inside a command.
bool DecodeMode10Row(const std::vector<unsigned char>& data, std::vector<uint32_t>& row);
// Decodes a JetReady job (PCL XL of hpcups' colour lasers, see
// JetReadyTruth.cpp) and measures each page; false when the job is not one or
// cannot be decoded whole.
bool DecodeJetReady(const std::vector<unsigned char>& job, std::vector<PageTruth>& pages);
