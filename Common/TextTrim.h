#pragma once

#include <string_view>

// The text without blanks, tabs, line ends, vertical tabs and form feeds at
// either end.
inline std::string_view TrimWhiteSpace(std::string_view text)
{
    constexpr std::string_view whiteSpace = " \t\n\v\f\r";
    size_t first = text.find_first_not_of(whiteSpace);
    if (first == std::string_view::npos)
        return std::string_view();
    size_t last = text.find_last_not_of(whiteSpace);
    return text.substr(first, last - first + 1);
}
