#include "PrinterLanguageParser/Parser/pcl6/PxlJpeg.h"

#include "PrinterLanguageParser/Parser/ColourRule.h"
#include "PrinterLanguageParser/Parser/pdf/document/JpegChroma.h"

#include <csetjmp>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

namespace RawPrintData::PCL6 {

namespace {

struct Decoder {
    jpeg_error_mgr mErrors;
    std::jmp_buf mFailure;
    uint64_t mintColour = 0;
    JpegComponents mComponents = JpegComponents::YCbCr;
};

void Fail(j_common_ptr cinfo)
{
    std::longjmp(static_cast<Decoder*>(cinfo->client_data)->mFailure, 1);
}

void Quiet(j_common_ptr /*cinfo*/, int /*level*/) {}

int Clamped(int value)
{
    return value < 0 ? 0 : value > 255 ? 255 : value;
}

// Whether a pixel of JetReady's components is neutral: red, green and blue
// read back from them.
bool JetReadyNeutral(const JSAMPLE* pixel)
{
    const int red = 2 * pixel[0];
    return ColourRule::IsNeutral(Clamped(red), Clamped(red - 2 * (pixel[1] - 128)),
                                 Clamped(red - 2 * (pixel[2] - 128)));
}

// Decodes the rows as RGB and counts their non-neutral pixels; false when
// libjpeg failed. Kept free of C++ objects: it is left by longjmp.
bool CountPixels(jpeg_decompress_struct* cinfo, Decoder* decoder, const unsigned char* data, size_t size,
                 size_t memoryLimit, uint64_t maxPixels, uint64_t enough, bool headerOnly)
{
    if (setjmp(decoder->mFailure) != 0)
        return false;
    jpeg_create_decompress(cinfo);
    cinfo->client_data = decoder;
    cinfo->mem->max_memory_to_use = static_cast<long>(memoryLimit);
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK ||
        uint64_t{cinfo->image_width} * cinfo->image_height > maxPixels)
        return false;
    if (headerOnly || cinfo->num_components == 1)
        return true;
    const bool jetReady = decoder->mComponents == JpegComponents::JetReady;
    if (jetReady && cinfo->jpeg_color_space != JCS_YCbCr)
        return false;
    cinfo->out_color_space = jetReady ? JCS_YCbCr : JCS_RGB;
    jpeg_start_decompress(cinfo);
    if (cinfo->output_components != 3)
        return false;
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                 cinfo->output_width * 3, 1);
    while (cinfo->output_scanline < cinfo->output_height && decoder->mintColour < enough) {
        if (jpeg_read_scanlines(cinfo, row, 1) != 1)
            return false;
        const JSAMPLE* pixel = row[0];
        for (JDIMENSION column = 0; column < cinfo->output_width; ++column, pixel += 3)
            decoder->mintColour += (jetReady ? JetReadyNeutral(pixel) : ColourRule::IsNeutral(pixel[0], pixel[1], pixel[2]))
                                       ? 0
                                       : 1;
    }
    return true;
}

// Runs CountPixels with libjpeg's state and errors set up.
std::optional<uint64_t> Count(const std::string& jpeg, size_t memoryLimit, uint64_t maxPixels, uint64_t enough,
                              bool headerOnly, JpegComponents components)
{
    jpeg_decompress_struct cinfo{};
    Decoder decoder{};
    decoder.mComponents = components;
    cinfo.err = jpeg_std_error(&decoder.mErrors);
    decoder.mErrors.error_exit = Fail;
    decoder.mErrors.emit_message = Quiet;
    const bool read = CountPixels(&cinfo, &decoder, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size(),
                                  memoryLimit, maxPixels, enough, headerOnly);
    jpeg_destroy_decompress(&cinfo);
    if (!read)
        return std::nullopt;
    return decoder.mintColour;
}

}  // namespace

std::optional<uint64_t> CountJpegColourPixels(const std::string& jpeg, size_t memoryLimit, uint64_t maxPixels,
                                              uint64_t enough, JpegComponents components)
{
    // The size first: a picture larger than its block is not decoded.
    if (!Count(jpeg, memoryLimit, maxPixels, enough, true, components).has_value())
        return std::nullopt;
    switch (Pdf::JudgeJpegChroma(jpeg, memoryLimit)) {
    case Pdf::JpegChroma::Neutral:
        return 0;
    case Pdf::JpegChroma::Unreadable:
    case Pdf::JpegChroma::TooLarge:
        return std::nullopt;
    case Pdf::JpegChroma::Unproved:
        break;
    }
    return Count(jpeg, memoryLimit, maxPixels, enough, false, components);
}

}  // namespace RawPrintData::PCL6
