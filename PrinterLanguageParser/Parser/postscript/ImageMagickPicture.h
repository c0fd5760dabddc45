#pragma once

#include <string>
#include <vector>

namespace RawPrintData::Postscript {

// Reads the lines that ImageMagick's PostScript (Levels 2 and 3) writes after
// "DisplayImage", before the picture's samples: its size, its class (direct
// colour, or a grey ramp or colour table), its table. Tells from them whether
// the picture is neutral: a grey picture, a table of neutral colours, or a
// stencil painted black. A picture of direct colour, a table it cannot read
// or lines of another form count as colour.
class ImageMagickPicture {
public:
    enum class Verdict { Reading, Neutral, Color };

    // Takes the next byte after the word; Reading until it knows.
    Verdict Take(unsigned char byte);

private:
    Verdict mLine(const std::string& line);
    Verdict mTableEntry(int red, int green, int blue);

    std::vector<std::string> mvecLines;
    std::string mstrLine;
    bool mblnLevel3 = false;
    int mintTableEntries = 0;  // colours of the table still to read
    bool mblnBinaryTable = false;
    std::vector<unsigned char> mvecEntry;
};

}  // namespace RawPrintData::Postscript
