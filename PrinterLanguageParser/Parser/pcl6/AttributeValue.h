#pragma once

#include "PrinterLanguageParser/Parser/pcl6/PCL6Tags.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace RawPrintData::PCL6 {

// One attribute value as read from the stream: the data-type tag that
// introduced it and, for a single value, an xy pair or a box, its elements
// (every element type fits a double exactly). The elements of an array are
// skipped unread, since no attribute the parser acts on is read from one;
// only the tag is kept, and the bytes of a short ubyte array.
class AttributeValue {
public:
    static constexpr size_t mintMAX_ELEMENTS = 4;

    AttributeValue() = default;
    explicit AttributeValue(unsigned char dataType) : mintDataType(dataType) {}

    uint32_t DataType() const { return mintDataType; }
    bool IsUByte() const { return mintDataType == TAG_UBYTE; }

    // The element at an index; 0 for one the value does not hold.
    double Element(size_t index) const { return index < mintMAX_ELEMENTS ? mvecElements[index] : 0; }
    void SetElement(size_t index, double element)
    {
        if (index < mintMAX_ELEMENTS)
            mvecElements[index] = element;
    }

    // The bytes of a short ubyte array (a name), empty for any other value.
    std::string_view Text() const { return std::string_view(mbytText.data(), mintTextLength); }
    void SetBytes(std::span<const unsigned char> bytes)
    {
        mintTextLength = std::min(bytes.size(), mbytText.size());
        std::copy_n(bytes.begin(), mintTextLength, mbytText.begin());
    }

private:
    uint32_t mintDataType = 0;
    std::array<double, mintMAX_ELEMENTS> mvecElements{};
    std::array<char, 16> mbytText{};
    size_t mintTextLength = 0;
};

}  // namespace RawPrintData::PCL6
