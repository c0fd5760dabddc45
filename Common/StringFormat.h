#pragma once

#include <cstdio>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// printf-style formatting into a std::string of exactly the formatted length.
// Every format is a literal at its call site; texts that may hold a percent
// sign are passed as arguments of "%s", never as formats.

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
#endif

// Formats already converted arguments (C texts, numbers, pointers).
template <typename... Args>
std::string stringFormatInternal(const std::string& format, Args... args)
{
    int length = std::snprintf(nullptr, 0, format.c_str(), args...);
    if (length <= 0)
        return std::string();  // a formatting error gives an empty text
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::snprintf(buffer.data(), buffer.size(), format.c_str(), args...);
    return std::string(buffer.data(), static_cast<size_t>(length));
}

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace StringFormatDetail {

// A std::string is passed as its characters; everything else unchanged.
template <typename T>
decltype(auto) Convert(T&& value)
{
    if constexpr (std::is_same_v<std::remove_cvref_t<T>, std::string>)
        return value.c_str();
    else if constexpr (std::is_array_v<std::remove_reference_t<T>>)
        return static_cast<const std::remove_extent_t<std::remove_reference_t<T>>*>(value);
    else if constexpr (std::is_enum_v<std::remove_cvref_t<T>>)
        return static_cast<std::underlying_type_t<std::remove_cvref_t<T>>>(value);
    else
        return std::forward<T>(value);
}

}  // namespace StringFormatDetail

// Formats any argument list; std::string arguments live until the call returns.
template <typename... Args>
std::string stringFormat(std::string format, Args&&... args)
{
    return stringFormatInternal(format, StringFormatDetail::Convert(std::forward<Args>(args))...);
}
