#pragma once

#include <array>
#include <charconv>
#include <string>

// A number as text with a fixed count of decimals and a decimal point, as
// "%.*f" writes it in the classic locale, whatever locale the process has
// set: texts sent to the server and written to files never carry a decimal
// comma.
inline std::string FixedDecimalText(double value, int decimals)
{
    // The longest fixed text of a double: 309 digits, the point, the
    // decimals and a sign.
    std::array<char, 400> text{};
    auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, decimals);
    if (error != std::errc())
        return std::string();
    return std::string(text.data(), end);
}
