#include "PrinterLanguageParser/Parser/pdf/document/JpegChroma.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// libjpeg's decoder, with its internal view of the inverse transform, which
// this test replaces to see each block's coefficients.
#include <jpeglib.h>
#include <jerror.h>
#include <jpegint.h>

namespace RawPrintData::Pdf {

namespace {

// How far a neutral block's chroma may stray, in steps of 255.
constexpr double MAXIMUM_NEUTRAL_STRAY = 1.0;

struct Decoder {
    jpeg_error_mgr mErrors;
    std::jmp_buf mFailure;
    bool mblnNeutral = true;
    bool mblnMemory = false;
};

Decoder& Of(j_common_ptr cinfo)
{
    return *static_cast<Decoder*>(cinfo->client_data);
}

void Fail(j_common_ptr cinfo)
{
    Decoder& decoder = Of(cinfo);
    const int code = cinfo->err->msg_code;
    decoder.mblnMemory = code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE || code == JERR_TFILE_CREATE;
    std::longjmp(decoder.mFailure, 1);
}

void Quiet(j_common_ptr /*cinfo*/, int /*level*/) {}

// The luma's blocks are not needed.
void SkipBlock(j_decompress_ptr, jpeg_component_info*, JCOEFPTR, JSAMPARRAY, JDIMENSION) {}

// The most a chroma block's samples can stray from neutral: the mean is the
// DC coefficient over 8, and each other basis function reaches at most
// C(u) C(v) / 4 of its coefficient, C(0) being 1 / sqrt 2.
void ChromaBlock(j_decompress_ptr cinfo, jpeg_component_info* component, JCOEFPTR coefficients, JSAMPARRAY,
                 JDIMENSION)
{
    static constexpr double HALF_ROOT = 0.70710678118654752;
    static const JCOEF NEUTRAL[DCTSIZE2] = {};
    if (std::memcmp(coefficients, NEUTRAL, sizeof(NEUTRAL)) == 0)
        return;  // the common block of a grey picture
    const UINT16* steps = component->quant_table->quantval;
    double stray = std::abs(coefficients[0] * static_cast<double>(steps[0])) / 8.0;
    for (int index = 1; index < DCTSIZE2 && stray <= MAXIMUM_NEUTRAL_STRAY; ++index) {
        if (coefficients[index] == 0)
            continue;
        const double weight = (index % DCTSIZE == 0 ? HALF_ROOT : 1.0) * (index / DCTSIZE == 0 ? HALF_ROOT : 1.0);
        stray += std::abs(coefficients[index] * static_cast<double>(steps[index])) * weight / 4.0;
    }
    if (stray > MAXIMUM_NEUTRAL_STRAY) {
        Decoder& decoder = Of(reinterpret_cast<j_common_ptr>(cinfo));
        decoder.mblnNeutral = false;
        std::longjmp(decoder.mFailure, 1);
    }
}

// Reads the blocks with the replaced transform; false when libjpeg failed.
// Kept free of C++ objects: it is left by longjmp.
bool ReadBlocks(jpeg_decompress_struct* cinfo, Decoder* decoder, const unsigned char* data, size_t size,
                size_t memoryLimit)
{
    if (setjmp(decoder->mFailure) != 0)
        return false;
    jpeg_create_decompress(cinfo);
    cinfo->client_data = decoder;
    cinfo->mem->max_memory_to_use = static_cast<long>(memoryLimit);
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK || cinfo->num_components != 3 ||
        cinfo->jpeg_color_space != JCS_YCbCr || cinfo->data_precision != 8) {
        decoder->mblnNeutral = false;
        return true;
    }
    cinfo->raw_data_out = TRUE;
    cinfo->out_color_space = JCS_YCbCr;
    cinfo->do_block_smoothing = FALSE;
    // At an eighth of the size the decoder keeps only the luma's DC
    // coefficients, which is faster; subsampled chroma is then scaled up by
    // its transform, so its coefficients are all kept. Chroma at the luma's
    // own resolution would lose them: that is read at full size.
    cinfo->scale_num = 1;
    cinfo->scale_denom = 8;
    jpeg_calc_output_dimensions(cinfo);
    if (cinfo->comp_info[1].DCT_scaled_size < 2 || cinfo->comp_info[2].DCT_scaled_size < 2) {
        cinfo->scale_denom = 1;
        jpeg_calc_output_dimensions(cinfo);
    }
    jpeg_start_decompress(cinfo);
    cinfo->idct->inverse_DCT[0] = SkipBlock;
    cinfo->idct->inverse_DCT[1] = ChromaBlock;
    cinfo->idct->inverse_DCT[2] = ChromaBlock;
    // Rows for one band of blocks of each component; nothing is written.
    JSAMPARRAY rows[3];
    for (int index = 0; index < 3; ++index) {
        jpeg_component_info* component = &cinfo->comp_info[index];
        rows[index] = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                  component->width_in_blocks * DCTSIZE,
                                                  static_cast<JDIMENSION>(component->v_samp_factor * DCTSIZE));
    }
    const JDIMENSION band = static_cast<JDIMENSION>(cinfo->max_v_samp_factor * DCTSIZE);
    while (cinfo->output_scanline < cinfo->output_height) {
        if (jpeg_read_raw_data(cinfo, rows, band) == 0)
            return false;
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

}  // namespace

JpegChroma JudgeJpegChroma(const std::string& jpeg, size_t memoryLimit)
{
    jpeg_decompress_struct cinfo{};
    Decoder decoder{};
    cinfo.err = jpeg_std_error(&decoder.mErrors);
    decoder.mErrors.error_exit = Fail;
    decoder.mErrors.emit_message = Quiet;
    const bool read = ReadBlocks(&cinfo, &decoder, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size(),
                                 memoryLimit);
    jpeg_destroy_decompress(&cinfo);
    if (decoder.mblnMemory)
        return JpegChroma::TooLarge;
    if (!decoder.mblnNeutral)
        return JpegChroma::Unproved;
    return read ? JpegChroma::Neutral : JpegChroma::Unreadable;
}

}  // namespace RawPrintData::Pdf
