#pragma once

#include "tests/Support/programs/PclRasterTruth.h"

#include <vector>

// Whether a job opens as ESC/P does (ESC @, or EJL's ESC 01, after NULs).
bool IsEscpJob(const std::vector<unsigned char>& job);

// Decodes an ESC/P 2 or ESC/P colour raster job for cvk_raster_truth (see
// EscpRasterTruth.cpp) and measures each page; false when the job holds
// commands, compressions or text this decoder cannot measure.
bool DecodeEscpRaster(const std::vector<unsigned char>& job, std::vector<PageTruth>& pages);
