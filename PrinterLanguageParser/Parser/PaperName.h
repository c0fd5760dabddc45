#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace RawPrintData {

// Paper names live in fixed records of 256 characters that are NUL-padded and
// not terminated when the name fills all of them; these helpers never read or
// write past the record.
inline constexpr size_t PAPER_NAME_LENGTH = 256;

// The name held in a record, up to its first NUL or the record's end.
inline std::string_view PaperNameView(const char (&name)[PAPER_NAME_LENGTH])
{
    return std::string_view(name, strnlen(name, PAPER_NAME_LENGTH));
}

// Stores a name as strncpy would: cut at its first NUL and at 256 characters,
// the rest of the record NUL-filled.
inline void StorePaperName(char (&name)[PAPER_NAME_LENGTH], std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    const size_t length = std::min(text.size(), PAPER_NAME_LENGTH);
    if (length > 0)
        std::memcpy(name, text.data(), length);
    std::memset(name + length, 0, PAPER_NAME_LENGTH - length);
}

}  // namespace RawPrintData
