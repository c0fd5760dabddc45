#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <span>
#include <vector>

namespace RawPrintData::Postscript {

// The orientation a DSC comment gives.
enum PostscriptPageOrientation : int32_t {
    PAGE_ORIENTATION_ATEND = -1,  // "(atend)": given in the trailer
    PAGE_ORIENTATION_NONE = 0,
    PAGE_ORIENTATION_PORTRAIT = 1,
    PAGE_ORIENTATION_LANDSCAPE = 2,
};

// One DSC comment line split into its keyword and its values: the keyword is
// the text after "%%" up to the first ":" (every "%" removed), the values the
// trimmed text after the ":". A "%%+" line continues the previous keyword.
class DscComment {
public:
    explicit DscComment(std::string_view line);
    // With the keyword of the line before, for "%%+" continuation lines.
    DscComment(std::string_view line, std::string_view previousKeyword);

    std::string_view Keyword() const { return mstrKeyword; }
    const std::string& Values() const { return mstrValues; }

    // Whether the values are exactly "(atend)".
    bool IsAtEnd() const { return std::string_view(mstrValues) == "(atend)"; }

    // The values as an orientation: "(atend)", "Portrait", "Landscape" or none.
    PostscriptPageOrientation Orientation() const;
    explicit operator PostscriptPageOrientation() const { return Orientation(); }

    // The values split at single blanks; two blanks in a row make an empty field.
    std::vector<std::string_view> Fields() const;
    // The first fields, as many as fit; returns how many fields there are
    // (counted up to one more than fit).
    size_t FirstFields(std::span<std::string_view> fields) const;

private:
    void mParseString(std::string_view line);

    std::string mstrKeyword;
    std::string mstrValues;
};

}  // namespace RawPrintData::Postscript
