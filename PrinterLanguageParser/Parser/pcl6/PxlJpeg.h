#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace RawPrintData::PCL6 {

// What the three components of a JPEG hold: YCbCr, or JetReady's
// Y = R/2, Cb = 128 + (R - G)/2, Cr = 128 + (R - B)/2 (JetReady.h).
enum class JpegComponents : uint8_t { YCbCr, JetReady };

// The pixels of a JPEG block of a PCL XL image that are not neutral by the
// colour rule, counting stopped at enough; none when libjpeg cannot read the
// data within memoryLimit or the picture has more than maxPixels. A picture
// whose chroma proves it grey is not decoded; a one-channel picture is grey.
// The pixels are decoded a row at a time.
std::optional<uint64_t> CountJpegColourPixels(const std::string& jpeg, size_t memoryLimit, uint64_t maxPixels,
                                              uint64_t enough, JpegComponents components = JpegComponents::YCbCr);

}  // namespace RawPrintData::PCL6
