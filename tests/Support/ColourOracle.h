#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

// The truth of the colour tests: a document rendered by Ghostscript, or a
// raster page decoded by a test, judged by the one colour rule the parser
// applies (PrinterLanguageParser/Parser/ColourRule.h): the area of
// non-neutral dots in square millimetres at the rendering's resolution.
namespace TestSupport {

struct OraclePage {
    uint64_t nonNeutralDots = 0;
    double nonNeutralMm2 = 0;
    bool colour = false;
};

// Counts the non-neutral dots of RGB rows (three bytes a dot) of one page.
class NonNeutralArea {
public:
    NonNeutralArea(double xDpi, double yDpi) : mXDpi(xDpi), mYDpi(yDpi) {}
    void AddRgbRow(std::span<const uint8_t> rgb);
    void AddDots(uint64_t dots) { mDots += dots; }
    OraclePage Page() const;

private:
    double mXDpi;
    double mYDpi;
    uint64_t mDots = 0;
};

// How the document's colours become the red, green and blue the oracle
// measures. Document: cyan, magenta and yellow by the plain formula, without
// a colour profile, so that balanced inks stay grey (what the document asks
// for). RgbDevice: through Ghostscript's colour management, as a vector RGB
// device (pxlcolor, the ESC/Page colour lasers) receives them from the same
// interpreter: a composite grey of 40 % of each ink becomes the warm grey
// 162, 148, 144 that such a device sends to the printer.
enum class OracleColour { Document, RgbDevice };

// Renders a PostScript or PDF document with Ghostscript at the resolution
// (as it would print: crop box, printed annotations, no anti-aliasing) and
// judges every page; nothing when Ghostscript failed or the output could not
// be read. The rendering streams through a pipe, row by row.
std::optional<std::vector<OraclePage>> MeasureDocumentColour(const std::filesystem::path& document, int dpi,
                                                             OracleColour colour = OracleColour::Document);

// The colour pages of the document at the resolution, numbered from 1;
// nothing when it could not be rendered.
std::optional<std::vector<size_t>> ColourPages(const std::filesystem::path& document, int dpi);

}  // namespace TestSupport
