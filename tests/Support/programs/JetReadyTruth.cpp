// The JetReady side of cvk_raster_truth: hpcups' colour lasers of the
// JetReady family send a PCL XL stream whose page is one image carried as the
// raw data of VendorUnique operators (hplip's LJJetReady.cpp and
// ModeJpeg.cpp): the operator that begins the image (its VUExtension ends in
// 0x00) carries three quantization tables, each operator that reads a strip
// of 128 rows (VUExtension ending in 0x01) a JPEG scan sent without its
// header, whose components are Y = R/2, Cb = 128 + (R - G)/2,
// Cr = 128 + (R - B)/2. The header is made again here the way the driver made
// it, by libjpeg compressing a blank strip with the same tables and layout;
// the strip is then decoded by libjpeg, its red, green and blue read back
// from the components, and each dot judged by the colour rule
// (PrinterLanguageParser/Parser/ColourRule.h) at the session's resolution.
// Written for the tests, apart from the parser's PCL XL reader. Anything else
// (another byte order, a vendor compression, any other drawing operator)
// makes the job undecoded; a page in grey (colour space 7) is mono.
#include "tests/Support/programs/PclRasterTruth.h"

#include "PrinterLanguageParser/Parser/ColourRule.h"

#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstring>
#include <map>
#include <string>

namespace {

namespace Rule = RawPrintData::ColourRule;
using Bytes = std::vector<unsigned char>;

struct JpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JumpOut(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JpegFailure*>(cinfo->err)->jump, 1);
}

void Silent(j_common_ptr, int) {}

struct Memory {
    unsigned char* data = nullptr;
    unsigned long size = 0;
    ~Memory() { std::free(data); }
};

// The header hpcups left out: libjpeg's own output for a strip of this size
// and these tables, up to the end of its start-of-scan segment. Empty when
// libjpeg failed.
Bytes StripHeader(unsigned width, unsigned rows, const std::array<std::array<unsigned, 64>, 3>& tables)
{
    jpeg_compress_struct cinfo{};
    JpegFailure failure{};
    Memory out;
    Bytes blank(static_cast<size_t>(width) * 3, 0xFF);
    cinfo.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = JumpOut;
    failure.manager.emit_message = Silent;
    if (setjmp(failure.jump) != 0) {
        jpeg_destroy_compress(&cinfo);
        return {};
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &out.data, &out.size);
    cinfo.image_width = width;
    cinfo.image_height = rows;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    for (int table = 0; table < 3; ++table)
        jpeg_add_quant_table(&cinfo, table, tables[static_cast<size_t>(table)].data(), 100, FALSE);
    for (int component = 0; component < 3; ++component)
        cinfo.comp_info[component].h_samp_factor = cinfo.comp_info[component].v_samp_factor = 1;
    jpeg_start_compress(&cinfo, TRUE);
    JSAMPROW row = blank.data();
    while (cinfo.next_scanline < cinfo.image_height)
        jpeg_write_scanlines(&cinfo, &row, 1);
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    // The quantization tables are given in natural order; libjpeg writes
    // them as a header wants. Keep up to the scan's first byte.
    for (unsigned long at = 0; at + 3 < out.size; ++at)
        if (out.data[at] == 0xFF && out.data[at + 1] == 0xDA)
            return Bytes(out.data, out.data + at + 2 + (out.data[at + 2] << 8 | out.data[at + 3]));
    return {};
}

// The non-neutral dots of one strip, or -1 when libjpeg cannot read it.
long long StripDots(const Bytes& jpeg)
{
    jpeg_decompress_struct cinfo{};
    JpegFailure failure{};
    long long dots = 0;
    cinfo.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = JumpOut;
    failure.manager.emit_message = Silent;
    if (setjmp(failure.jump) != 0) {
        jpeg_destroy_decompress(&cinfo);
        return -1;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), jpeg.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.jpeg_color_space = JCS_YCbCr;
    cinfo.out_color_space = JCS_YCbCr;  // the components as sent
    jpeg_start_decompress(&cinfo);
    Bytes line(static_cast<size_t>(cinfo.output_width) * 3);
    JSAMPROW row = line.data();
    while (cinfo.output_scanline < cinfo.output_height) {
        jpeg_read_scanlines(&cinfo, &row, 1);
        for (size_t at = 0; at + 2 < line.size(); at += 3) {
            const int red = std::clamp(2 * line[at], 0, 255);
            const int green = std::clamp(red - 2 * (line[at + 1] - 128), 0, 255);
            const int blue = std::clamp(red - 2 * (line[at + 2] - 128), 0, 255);
            if (!Rule::IsNeutral(red, green, blue))
                ++dots;
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return dots;
}

class Stream {
public:
    explicit Stream(const Bytes& job) : mJob(job) {}

    bool Run(std::vector<PageTruth>& pages)
    {
        static const std::string header = ") HP-PCL XL";
        const auto start = std::search(mJob.begin(), mJob.end(), header.begin(), header.end());
        if (start == mJob.end())
            return false;
        mAt = static_cast<size_t>(std::find(start, mJob.end(), '\n') - mJob.begin()) + 1;
        while (mAt < mJob.size()) {
            const unsigned char tag = mJob[mAt++];
            if (tag == 0x1B)
                break;  // back to PJL
            if (tag == 0x00 || (tag >= 0x09 && tag <= 0x0D) || tag == 0x20)
                continue;
            if (tag >= 0xC0 && tag <= 0xEF) {
                if (!Value(tag))
                    return false;
            } else if (tag == 0xF8 || tag == 0xF9) {
                if (mAt + (tag == 0xF8 ? 1 : 2) > mJob.size())
                    return false;
                const unsigned id = tag == 0xF8 ? mJob[mAt] : mJob[mAt] | mJob[mAt + 1] << 8;
                mAt += tag == 0xF8 ? 1 : 2;
                mAttributes[id] = mValue;
            } else if (tag == 0xFA || tag == 0xFB) {
                const size_t length = tag == 0xFB ? (mAt < mJob.size() ? mJob[mAt] : 0) : Unsigned(mAt, 4);
                mAt += (tag == 0xFB ? 1 : 4) + length;
            } else if (!Operator(tag, pages)) {
                return false;
            }
        }
        return !pages.empty();
    }

private:
    size_t Unsigned(size_t at, size_t bytes) const
    {
        size_t value = 0;
        for (size_t index = 0; index < bytes && at + index < mJob.size(); ++index)
            value |= static_cast<size_t>(mJob[at + index]) << (8 * index);
        return value;
    }

    // A value: a number, a pair, a box, or an array; only whole-number
    // elements are kept.
    bool Value(unsigned char tag)
    {
        static const std::map<unsigned char, size_t> SIZES = {{0, 1}, {1, 2}, {2, 4}, {3, 2}, {4, 4}, {5, 4}};
        const auto size = SIZES.find(tag & 0x07);
        if (size == SIZES.end())
            return false;
        size_t count = 1;
        switch (tag & 0xF8) {
        case 0xC0:
            break;
        case 0xC8: {
            if (mAt >= mJob.size())
                return false;
            const unsigned char countTag = mJob[mAt++];
            const size_t countBytes = countTag == 0xC0 ? 1 : countTag == 0xC1 ? 2 : 0;
            if (countBytes == 0)
                return false;
            count = Unsigned(mAt, countBytes);
            mAt += countBytes;
            break;
        }
        case 0xD0:
            count = 2;
            break;
        case 0xE0:
            count = 4;
            break;
        default:
            return false;
        }
        mValue.clear();
        for (size_t index = 0; index < count; ++index) {
            if (mAt + size->second > mJob.size())
                return false;
            if ((tag & 0x07) <= 2 && index < 4)
                mValue.push_back(Unsigned(mAt, size->second));
            mAt += size->second;
        }
        return true;
    }

    size_t Attribute(unsigned id, size_t index = 0) const
    {
        const auto found = mAttributes.find(id);
        return found != mAttributes.end() && found->second.size() > index ? found->second[index] : 0;
    }

    bool Operator(unsigned char tag, std::vector<PageTruth>& pages)
    {
        constexpr unsigned UNITS_PER_MEASURE = 0x89, MEASURE = 0x86, COLOR_SPACE = 0x03, VU_EXTENSION = 0x91,
                           VU_DATA_LENGTH = 0x92;
        bool ok = true;
        switch (tag) {
        case 0x41:  // BeginSession: only inches are read
            if (Attribute(MEASURE) != 0)
                ok = false;
            mDpiX = static_cast<double>(Attribute(UNITS_PER_MEASURE, 0));
            mDpiY = static_cast<double>(Attribute(UNITS_PER_MEASURE, 1));
            break;
        case 0x43:  // BeginPage
            mPage = PageTruth{};
            mTables = false;
            mSpace = 0;
            break;
        case 0x44:  // EndPage
            mPage.mm2 = static_cast<double>(mPage.dots) * (Rule::MM_PER_INCH / mDpiX) * (Rule::MM_PER_INCH / mDpiY);
            mPage.colour = mPage.dots >= Rule::MinimumColourDots(mDpiX, mDpiY);
            pages.push_back(mPage);
            break;
        case 0x6A:  // SetColorSpace: 6 colour, 7 grey
            mSpace = Attribute(COLOR_SPACE);
            break;
        case 0x46: {  // VendorUnique
            const size_t length = Attribute(VU_DATA_LENGTH);
            if (mAt + length > mJob.size())
                return false;
            const Bytes data(mJob.begin() + static_cast<long>(mAt), mJob.begin() + static_cast<long>(mAt + length));
            mAt += length;
            if (length > 0 && mSpace == 6)
                ok = VendorData(Attribute(VU_EXTENSION) & 0xFF, data);
            else if (length > 0 && mSpace != 7)
                ok = false;
            break;
        }
        case 0x42:  // EndSession
        case 0x6B:  // SetCursor
        case 0x75:  // SetPageOrigin
            break;
        default:
            return false;  // a page drawn otherwise: not JetReady's
        }
        if (!(mDpiX > 0 && mDpiY > 0))
            ok = false;
        mAttributes.clear();
        return ok;
    }

    bool VendorData(size_t kind, const Bytes& data)
    {
        if (kind == 0x00) {  // the image begins: width, then the tables
            mWidth = static_cast<unsigned>(Attribute(0x6C));
            if (data.size() < 6 + 3 * 64 * 4 || data[0] != 0x00 || data[1] != 0x80)
                return false;
            for (size_t table = 0; table < 3; ++table)
                for (size_t index = 0; index < 64; ++index)
                    mTableValues[table][index] =
                        data[6 + (table * 64 + index) * 4] | data[7 + (table * 64 + index) * 4] << 8;
            mHeader = StripHeader(mWidth, 128, mTableValues);
            mTables = !mHeader.empty();
            return mTables;
        }
        if (kind != 0x01)
            return true;  // the image's end
        const unsigned rows = static_cast<unsigned>(Attribute(0x63));
        if (!mTables || rows != 128 || data.size() < 6 || data[0] != 0x21 || data[1] != 0x90)
            return false;  // not JPEG: a vendor compression
        const size_t scan = data[2] | data[3] << 8 | data[4] << 16 | static_cast<size_t>(data[5]) << 24;
        if (scan > data.size() - 6)
            return false;
        Bytes jpeg = mHeader;
        jpeg.insert(jpeg.end(), data.begin() + 6, data.begin() + 6 + static_cast<long>(scan));
        const long long dots = StripDots(jpeg);
        if (dots < 0)
            return false;
        mPage.dots += static_cast<uint64_t>(dots);
        return true;
    }

    const Bytes& mJob;
    size_t mAt = 0;
    std::vector<size_t> mValue;
    std::map<unsigned, std::vector<size_t>> mAttributes;
    double mDpiX = 0;
    double mDpiY = 0;
    PageTruth mPage;
    size_t mSpace = 0;
    bool mTables = false;
    unsigned mWidth = 0;
    std::array<std::array<unsigned, 64>, 3> mTableValues{};
    Bytes mHeader;
};

}  // namespace

bool DecodeJetReady(const std::vector<unsigned char>& job, std::vector<PageTruth>& pages)
{
    return Stream(job).Run(pages);
}
