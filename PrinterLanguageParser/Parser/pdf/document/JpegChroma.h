#pragma once

#include <cstddef>
#include <string>

namespace RawPrintData::Pdf {

// What a JPEG's chroma tells without decoding its pixels.
enum class JpegChroma {
    Neutral,     // every pixel is grey: proved from the chroma's coefficients
    Unproved,    // the chroma may hold colour; only the pixels can tell
    Unreadable,  // not a JPEG that libjpeg reads
    TooLarge,    // decoding it takes more memory than allowed
};

// Judges a baseline or progressive YCbCr JPEG from the coefficients of its
// two chroma channels, without the inverse transform: a block whose chroma
// cannot stray from neutral by more than one step of 255 is grey in every
// pixel (the transform, upsampling and rounding add at most one more, and
// two steps of Cb and Cr part red, green and blue by less than the colour
// rule's tolerance). The first block that may stray ends the test. The
// decoder's memory stays within memoryLimit.
JpegChroma JudgeJpegChroma(const std::string& jpeg, size_t memoryLimit);

}  // namespace RawPrintData::Pdf
