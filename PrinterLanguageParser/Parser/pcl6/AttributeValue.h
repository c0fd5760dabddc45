#pragma once

#include "PrinterLanguageParser/Parser/pcl6/PCL6Tags.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace RawPrintData::PCL6 {

// One attribute value as read from the stream: the data-type tag that
// introduced it and, for a single value, an xy pair, a box or an array of at
// most four, its elements (every element type fits a double exactly). Of a
// ubyte array (a name, a colour, a palette) the bytes are kept as well; the
// elements of other long arrays are skipped unread.
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

    // The elements of an array; 1, 2 or 4 for a single value, pair or box.
    size_t Count() const { return mintCount; }
    void SetCount(size_t count) { mintCount = count; }

    // The bytes of a ubyte array (a name), empty for any other value.
    std::string_view Text() const
    {
        return std::string_view(reinterpret_cast<const char*>(mvecBytes.data()), mvecBytes.size());
    }
    std::span<const unsigned char> Bytes() const { return mvecBytes; }
    void SetBytes(std::span<const unsigned char> bytes) { mvecBytes.assign(bytes.begin(), bytes.end()); }

private:
    uint32_t mintDataType = 0;
    std::array<double, mintMAX_ELEMENTS> mvecElements{};
    size_t mintCount = 0;
    std::vector<unsigned char> mvecBytes;
};

}  // namespace RawPrintData::PCL6
