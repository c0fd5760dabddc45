// The truth of colour pages for raster jobs, taken from the data itself: the
// job is decoded with the libraries made for its format, never with the
// parser's readers, and each page's non-neutral dots are measured by the
// parser's colour rule (PrinterLanguageParser/Parser/ColourRule.h) at the
// data's own resolution.
//   cvk_raster_truth JOB...
// PWG Raster and Apple Raster are read with the CUPS library's raster stream;
// PCLm (a PDF of image strips) with qpdf, each strip's dots taking the area
// its placement on the page gives them; PCL raster with the decoder of
// PclRasterTruth.cpp; hpcups' JetReady PCL XL with that of JetReadyTruth.cpp;
// ESC/P 2 and ESC/P colour raster with that of EscpRasterTruth.cpp. Prints,
// per page, what
// cvk_colour_oracle prints for a document:
//   JOB page N: AREA mm2 DOTS dots colour|mono
// The exit status is 1 when a job could not be decoded whole.
#include "PrinterLanguageParser/Parser/ColourRule.h"
#include "tests/Support/programs/EscpRasterTruth.h"
#include "tests/Support/programs/PclRasterTruth.h"

#include <cups/raster.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace Rule = RawPrintData::ColourRule;

constexpr double MM_PER_POINT = Rule::MM_PER_INCH / 72.0;

void Print(const char* job, size_t number, const PageTruth& page)
{
    std::printf("%s page %zu: %.3f mm2 %llu dots %s\n", job, number, page.mm2,
                static_cast<unsigned long long>(page.dots), page.colour ? "colour" : "mono");
}

// The non-neutral dots of one CUPS raster line, or -1 for a colour space or
// order this tool does not read.
long long RasterLineDots(const cups_page_header2_t& header, const unsigned char* line)
{
    if (header.cupsColorOrder != CUPS_ORDER_CHUNKED || (header.cupsBitsPerColor != 8 && header.cupsBitsPerColor != 16))
        return -1;
    const unsigned step = header.cupsBitsPerColor / 8;  // the high byte of each sample
    // Neutral is the same test on inks as on light; black added to a
    // neutral colour keeps it neutral.
    size_t components = 0;
    switch (header.cupsColorSpace) {
    case CUPS_CSPACE_W:
    case CUPS_CSPACE_K:
    case CUPS_CSPACE_SW:
        return 0;  // one channel: grey whatever its value
    case CUPS_CSPACE_RGB:
    case CUPS_CSPACE_SRGB:
    case CUPS_CSPACE_ADOBERGB:
        components = 3;
        break;
    case CUPS_CSPACE_CMY:
        components = 3;
        break;
    case CUPS_CSPACE_CMYK:
        components = 4;
        break;
    default:
        return -1;
    }
    const size_t pixel = components * step;
    long long dots = 0;
    for (size_t at = 0; at + pixel <= header.cupsBytesPerLine && at / pixel < header.cupsWidth; at += pixel)
        if (!Rule::IsNeutral(line[at], line[at + step], line[at + 2 * step]))
            ++dots;
    return dots;
}

// PWG Raster and Apple Raster; false when the stream could not be read whole.
bool JudgeCupsRaster(const char* job)
{
    const int fd = open(job, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    cups_raster_t* raster = cupsRasterOpen(fd, CUPS_RASTER_READ);
    bool whole = raster != nullptr;
    cups_page_header2_t header;
    size_t number = 0;
    while (whole && cupsRasterReadHeader2(raster, &header)) {
        if (header.HWResolution[0] == 0 || header.HWResolution[1] == 0 || header.cupsBytesPerLine == 0) {
            whole = false;
            break;
        }
        std::vector<unsigned char> line(header.cupsBytesPerLine);
        PageTruth page;
        for (unsigned y = 0; y < header.cupsHeight; ++y) {
            const long long dots = cupsRasterReadPixels(raster, line.data(), header.cupsBytesPerLine) ==
                                           header.cupsBytesPerLine
                                       ? RasterLineDots(header, line.data())
                                       : -1;
            if (dots < 0) {
                whole = false;
                break;
            }
            page.dots += static_cast<uint64_t>(dots);
        }
        if (!whole)
            break;
        const double xDpi = header.HWResolution[0];
        const double yDpi = header.HWResolution[1];
        page.mm2 = static_cast<double>(page.dots) * (Rule::MM_PER_INCH / xDpi) * (Rule::MM_PER_INCH / yDpi);
        page.colour = page.dots >= Rule::MinimumColourDots(xDpi, yDpi);
        Print(job, ++number, page);
    }
    if (raster)
        cupsRasterClose(raster);
    close(fd);
    return whole && number > 0;
}

// The images a PCLm page draws, each with the matrix it is drawn with: the
// page's content is read for q, Q, cm and Do.
class StripPlacements : public QPDFObjectHandle::ParserCallbacks {
public:
    using Matrix = std::array<double, 6>;
    struct Placement {
        std::string name;
        Matrix ctm;
    };

    void handleObject(QPDFObjectHandle object) override
    {
        if (!object.isOperator()) {
            mOperands.push_back(object);
            return;
        }
        const std::string op = object.getOperatorValue();
        if (op == "q") {
            mStack.push_back(mCtm);
        } else if (op == "Q" && !mStack.empty()) {
            mCtm = mStack.back();
            mStack.pop_back();
        } else if (op == "cm" && mOperands.size() == 6) {
            Matrix m;
            for (size_t i = 0; i < 6; ++i)
                m[i] = mOperands[i].isNumber() ? mOperands[i].getNumericValue() : 0.0;
            const Matrix& c = mCtm;
            mCtm = {m[0] * c[0] + m[1] * c[2],        m[0] * c[1] + m[1] * c[3],
                    m[2] * c[0] + m[3] * c[2],        m[2] * c[1] + m[3] * c[3],
                    m[4] * c[0] + m[5] * c[2] + c[4], m[4] * c[1] + m[5] * c[3] + c[5]};
        } else if (op == "Do" && mOperands.size() == 1 && mOperands[0].isName()) {
            placements.push_back({mOperands[0].getName(), mCtm});
        }
        mOperands.clear();
    }
    void handleEOF() override {}

    std::vector<Placement> placements;

private:
    Matrix mCtm = {1, 0, 0, 1, 0, 0};
    std::vector<Matrix> mStack;
    std::vector<QPDFObjectHandle> mOperands;
};

// PCLm; false when a page or strip could not be decoded.
bool JudgePclm(const char* job)
{
    try {
        QPDF pdf;
        pdf.processFile(job);
        size_t number = 0;
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            StripPlacements strips;
            page.parseContents(&strips);
            QPDFObjectHandle images = page.getAttribute("/Resources", false).getKey("/XObject");
            PageTruth truth;
            for (const auto& strip : strips.placements) {
                QPDFObjectHandle image = images.getKey(strip.name);
                QPDFObjectHandle dict = image.getDict();
                const long long width = dict.getKey("/Width").getIntValueAsInt();
                const long long height = dict.getKey("/Height").getIntValueAsInt();
                const std::string space = dict.getKey("/ColorSpace").isName() ? dict.getKey("/ColorSpace").getName() : "";
                if (width <= 0 || height <= 0 || dict.getKey("/BitsPerComponent").getIntValueAsInt() != 8)
                    return false;
                if (space == "/DeviceGray")
                    continue;
                if (space != "/DeviceRGB")
                    return false;
                const auto data = image.getStreamData(qpdf_dl_all);
                if (data->getSize() < static_cast<size_t>(width * height * 3))
                    return false;
                const unsigned char* pixels = data->getBuffer();
                uint64_t dots = 0;
                for (size_t at = 0; at < static_cast<size_t>(width * height * 3); at += 3)
                    if (!Rule::IsNeutral(pixels[at], pixels[at + 1], pixels[at + 2]))
                        ++dots;
                // The image fills the unit square of the space it is drawn in.
                const auto& m = strip.ctm;
                const double stripMm2 = std::abs(m[0] * m[3] - m[1] * m[2]) * MM_PER_POINT * MM_PER_POINT;
                truth.dots += dots;
                truth.mm2 += static_cast<double>(dots) * stripMm2 / static_cast<double>(width * height);
            }
            // Rounding of the placement aside, the rule's dots: at least the minimum area.
            truth.colour = truth.mm2 >= Rule::MINIMUM_COLOUR_AREA_MM2 * (1 - 1e-9);
            Print(job, ++number, truth);
        }
        return number > 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", job, error.what());
        return false;
    }
}

// PCL raster, JetReady's PCL XL or Epson raster; false when it holds raster
// the decoders cannot measure.
bool JudgePclOrEscp(const char* job)
{
    std::ifstream in(job, std::ios::binary);
    const std::vector<unsigned char> data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    static const std::string xl = ") HP-PCL XL";
    const bool pclXl = std::search(data.begin(), data.end(), xl.begin(), xl.end()) != data.end();
    std::vector<PageTruth> pages;
    if (!in || !(pclXl ? DecodeJetReady(data, pages) : IsEscpJob(data) ? DecodeEscpRaster(data, pages) : DecodePclRaster(data, pages)))
        return false;
    for (size_t index = 0; index < pages.size(); ++index)
        Print(job, index + 1, pages[index]);
    return !pages.empty();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s JOB...\n", argv[0]);
        return 2;
    }
    int status = 0;
    for (int index = 1; index < argc; ++index) {
        char start[8] = {};
        if (FILE* file = std::fopen(argv[index], "rb")) {
            (void)!std::fread(start, 1, sizeof start, file);
            std::fclose(file);
        }
        const bool pdf = std::memcmp(start, "%PDF-", 5) == 0;
        // CUPS raster in either byte order ("RaS2", "3SaR", ...), or Apple's.
        const bool cups = std::memcmp(start, "RaS", 3) == 0 || std::memcmp(start + 1, "SaR", 3) == 0 ||
                          std::memcmp(start, "UNIRAST", 7) == 0;
        if (!(pdf ? JudgePclm(argv[index]) : cups ? JudgeCupsRaster(argv[index]) : JudgePclOrEscp(argv[index]))) {
            std::fprintf(stderr, "%s: could not be decoded whole\n", argv[index]);
            status = 1;
        }
    }
    return status;
}
