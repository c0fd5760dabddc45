#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace RawPrintData::PCL6 {

// The pixels of a JPEG block of a PCL XL image that are not neutral by the
// colour rule, counting stopped at enough; none when libjpeg cannot read the
// data within memoryLimit or the picture has more than maxPixels. A picture
// whose chroma proves it grey is not decoded; a one-channel picture is grey.
// The pixels are decoded a row at a time.
std::optional<uint64_t> CountJpegColourPixels(const std::string& jpeg, size_t memoryLimit, uint64_t maxPixels,
                                              uint64_t enough);

}  // namespace RawPrintData::PCL6
