#pragma once

namespace RawPrintData {

// One numeric value read from printer data; the languages derive their own
// number types from it (PostScript numbers, PCL XL attribute values).
template <typename T>
class Number {
public:
    constexpr Number() = default;
    constexpr explicit Number(T value) : mValue(value) {}

    constexpr T GetValue() const { return mValue; }
    constexpr void SetValue(T value) { mValue = value; }

    constexpr bool operator==(const Number&) const = default;

protected:
    T mValue{};
};

}  // namespace RawPrintData
