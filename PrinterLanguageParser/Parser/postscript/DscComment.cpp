#include "PrinterLanguageParser/Parser/postscript/DscComment.h"

#include "PrinterLanguageParser/Parser/CommandText.h"

namespace RawPrintData::Postscript {

namespace {

constexpr std::string_view CONTINUATION = "%%+";
// Values are trimmed of blanks and tabs only.
constexpr std::string_view BLANKS = " \t";

}  // namespace

// Splits a line.
DscComment::DscComment(std::string_view line)
{
    mParseString(line);
}

// Splits a line that may continue the previous keyword.
DscComment::DscComment(std::string_view line, std::string_view previousKeyword)
{
    if (line.starts_with(CONTINUATION)) {
        mstrKeyword = previousKeyword;
        mstrValues = TrimText(line.substr(CONTINUATION.size()), BLANKS);
        return;
    }
    mParseString(line);
}

// Keyword before the first ":", values after it.
void DscComment::mParseString(std::string_view line)
{
    const size_t colon = line.find(':');
    std::string_view keyword;
    if (colon == std::string_view::npos)
        keyword = line.size() > 2 ? line.substr(2) : std::string_view();
    else if (colon > 2)
        keyword = line.substr(2, colon - 2);
    if (keyword.find('%') == std::string_view::npos) {
        mstrKeyword.assign(keyword);
    } else {
        mstrKeyword.clear();
        for (const char character : keyword) {
            if (character != '%')
                mstrKeyword.push_back(character);
        }
    }
    mstrValues = colon == std::string_view::npos ? std::string_view() : TrimText(line.substr(colon + 1), BLANKS);
}

// The values as an orientation.
PostscriptPageOrientation DscComment::Orientation() const
{
    if (IsAtEnd())
        return PAGE_ORIENTATION_ATEND;
    const std::string_view values(mstrValues);
    if (values == "Portrait")
        return PAGE_ORIENTATION_PORTRAIT;
    if (values == "Landscape")
        return PAGE_ORIENTATION_LANDSCAPE;
    return PAGE_ORIENTATION_NONE;
}

// The first blank-separated fields of the values.
size_t DscComment::FirstFields(std::span<std::string_view> fields) const
{
    std::string_view rest(mstrValues);
    for (size_t count = 0;; ++count) {
        const size_t blank = rest.find(' ');
        if (count == fields.size())
            return count + 1;
        fields[count] = rest.substr(0, blank);
        if (blank == std::string_view::npos)
            return count + 1;
        rest.remove_prefix(blank + 1);
    }
}

// The blank-separated fields of the values.
std::vector<std::string_view> DscComment::Fields() const
{
    std::vector<std::string_view> fields;
    std::string_view rest(mstrValues);
    while (true) {
        const size_t blank = rest.find(' ');
        fields.push_back(rest.substr(0, blank));
        if (blank == std::string_view::npos)
            break;
        rest.remove_prefix(blank + 1);
    }
    return fields;
}

}  // namespace RawPrintData::Postscript
