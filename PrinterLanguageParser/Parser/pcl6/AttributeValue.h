#pragma once

#include "PrinterLanguageParser/Parser/pcl6/PCL6Tags.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace RawPrintData::PCL6 {

// One attribute value as read from the stream: the data-type tag that
// introduced it and, for a single value, an xy pair or a box, its elements
// (every element type fits a double exactly). The elements of an array are
// skipped unread, since no attribute the parser acts on is read from one;
// only the tag is kept.
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

private:
    uint32_t mintDataType = 0;
    std::array<double, mintMAX_ELEMENTS> mvecElements{};
};

}  // namespace RawPrintData::PCL6
