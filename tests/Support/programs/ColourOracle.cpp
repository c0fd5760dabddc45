// The truth of colour pages for the corpus scripts: renders each PostScript
// or PDF document named on the command line with Ghostscript at the given
// resolution and prints, per page, the area of non-neutral ink in square
// millimetres and whether the colour rule makes it a colour page. With
// --rgb-device the colours are converted as Ghostscript's vector RGB devices
// receive them (through its colour profiles) rather than as the document
// gives them (see OracleColour).
//   cvk_colour_oracle [--rgb-device] DPI DOCUMENT...
#include "tests/Support/ColourOracle.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    int first = 1;
    auto colour = TestSupport::OracleColour::Document;
    if (argc > 1 && std::strcmp(argv[1], "--rgb-device") == 0) {
        colour = TestSupport::OracleColour::RgbDevice;
        ++first;
    }
    const int dpi = argc > first + 1 ? std::atoi(argv[first]) : 0;
    if (dpi <= 0) {
        std::fprintf(stderr, "usage: %s [--rgb-device] DPI DOCUMENT...\n", argv[0]);
        return 2;
    }
    int status = 0;
    for (int index = first + 1; index < argc; ++index) {
        const auto pages = TestSupport::MeasureDocumentColour(argv[index], dpi, colour);
        if (!pages) {
            std::fprintf(stderr, "%s: Ghostscript could not render it\n", argv[index]);
            status = 1;
            continue;
        }
        for (size_t page = 0; page < pages->size(); ++page) {
            const auto& judged = (*pages)[page];
            std::printf("%s page %zu: %.3f mm2 %llu dots %s\n", argv[index], page + 1, judged.nonNeutralMm2,
                        static_cast<unsigned long long>(judged.nonNeutralDots), judged.colour ? "colour" : "mono");
        }
    }
    return status;
}
