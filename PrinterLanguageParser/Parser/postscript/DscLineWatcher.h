#pragma once

#include <array>
#include <string_view>

namespace RawPrintData::Postscript {

// Follows the starts of lines inside data of any kind (strings, image data,
// data blocks, bytes that cannot be read) and tells when a line begins with
// a DSC comment that structures the document: "%%Page:", "%%EndProlog",
// "%%EndResource" and the like. Such a line is a comment whatever token was
// being read, so an unclosed string or data block never hides the pages and
// sections after it. Its state carries over from chunk to chunk.
class DscLineWatcher {
public:
    // Not at a line start (a state's first byte follows its delimiter).
    void Stop() { mintLength = -1; }
    bool IsAtLineStart() const { return mintLength >= 0; }

    // Takes one byte; true when the byte ends the keyword of a structuring
    // comment that began the line. Comment then gives "%%" and the keyword;
    // the byte (":", a blank or a line end) belongs to the comment.
    bool Take(unsigned char byte)
    {
        const bool lineEnd = byte == '\r' || byte == '\n';
        if (mintLength < 0 && !lineEnd)
            return false;
        return mTakeAtLineStart(byte, lineEnd);
    }
    std::string_view Comment() const { return std::string_view(mbytText.data(), static_cast<size_t>(mintKept)); }

    static bool IsStructuringKeyword(std::string_view keyword);

private:
    static constexpr int mintMAX_LENGTH = 16;

    bool mTakeAtLineStart(unsigned char byte, bool lineEnd);

    int mintLength = -1;  // bytes matched at the line start, -1 when not at one
    int mintKept = 0;
    std::array<char, mintMAX_LENGTH> mbytText{};
};

}  // namespace RawPrintData::Postscript
