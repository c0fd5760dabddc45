#include "PrinterLanguageParser/Parser/postscript/ImageMagickPicture.h"

#include "PrinterLanguageParser/Parser/ColourRule.h"

#include <cstdlib>

namespace RawPrintData::Postscript {

namespace {

constexpr size_t MAX_LINE = 64;
constexpr size_t MAX_LINES = 16;
constexpr int MAX_TABLE = 4096;

// The line's value as a whole number, -1 when it is not one.
int WholeNumber(const std::string& line)
{
    if (line.empty() || line.size() > 9 || line.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::atoi(line.c_str());
}

int HexPair(const std::string& text, size_t at)
{
    return static_cast<int>(std::strtol(text.substr(at, 2).c_str(), nullptr, 16));
}

}  // namespace

ImageMagickPicture::Verdict ImageMagickPicture::Take(unsigned char byte)
{
    if (mblnBinaryTable) {
        mvecEntry.push_back(byte);
        if (mvecEntry.size() < 3)
            return Verdict::Reading;
        const Verdict verdict = mTableEntry(mvecEntry[0], mvecEntry[1], mvecEntry[2]);
        mvecEntry.clear();
        return verdict;
    }
    if (byte == '\r')
        return Verdict::Reading;
    if (byte != '\n') {
        mstrLine.push_back(static_cast<char>(byte));
        return mstrLine.size() > MAX_LINE ? Verdict::Color : Verdict::Reading;
    }
    std::string line;
    line.swap(mstrLine);
    if (mintTableEntries > 0) {
        // Level 2 writes the table as a line of six hex digits a colour.
        if (line.size() != 6 || line.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos)
            return Verdict::Color;
        return mTableEntry(HexPair(line, 0), HexPair(line, 2), HexPair(line, 4));
    }
    if (mvecLines.size() >= MAX_LINES)
        return Verdict::Color;
    mvecLines.push_back(line);
    return mLine(mvecLines.back());
}

// Level 2: position, scale, label size, columns and rows, class, colour
// space, compression, then for a table picture its colour count and its grey
// bits or colours. Level 3 has clipped and showpage flags before the columns
// and rows, alpha and stencil flags before the class.
ImageMagickPicture::Verdict ImageMagickPicture::mLine(const std::string& line)
{
    const size_t index = mvecLines.size() - 1;
    if (index == 3)
        mblnLevel3 = line == "true" || line == "false";
    const size_t classLine = mblnLevel3 ? 9 : 4;
    const size_t colorsLine = mblnLevel3 ? 11 : 7;
    if (mblnLevel3 && index == 8 && line == "true")
        return Verdict::Neutral;  // a stencil, painted black
    if (index == classLine && line != "1")
        return Verdict::Color;  // direct colour samples are not read
    if (index < colorsLine)
        return Verdict::Reading;
    const int colors = WholeNumber(line);
    if (colors == 0)
        return Verdict::Neutral;  // a grey ramp
    if (colors < 0 || colors > MAX_TABLE)
        return Verdict::Color;
    mintTableEntries = colors;
    // Level 3 writes the table as bytes, in ASCII base-85 when uncompressed.
    if (mblnLevel3) {
        if (mvecLines[10] == "0")
            return Verdict::Color;
        mblnBinaryTable = true;
    }
    return Verdict::Reading;
}

ImageMagickPicture::Verdict ImageMagickPicture::mTableEntry(int red, int green, int blue)
{
    if (!ColourRule::IsNeutral(red, green, blue))
        return Verdict::Color;
    return --mintTableEntries == 0 ? Verdict::Neutral : Verdict::Reading;
}

}  // namespace RawPrintData::Postscript
