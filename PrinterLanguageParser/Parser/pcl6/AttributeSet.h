#pragma once

#include "PrinterLanguageParser/Parser/pcl6/AttributeValue.h"
#include "PrinterLanguageParser/Parser/pcl6/PCL6Tags.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace RawPrintData::PCL6 {

// The attributes gathered since the last operator. Only the attributes some
// operator acts on are kept, each in its own slot, and of an id given twice
// the first value: memory stays the same however many attributes a stream
// piles up before an operator.
class AttributeSet {
public:
    // Keeps the value when the parser acts on the id and it has none yet.
    void Add(uint32_t id, const AttributeValue& value)
    {
        const std::optional<size_t> slot = mSlot(id);
        if (slot.has_value() && !mvecValues[*slot].has_value()) {
            mvecValues[*slot] = value;
            mblnEmpty = false;
        }
    }

    // The value given for an id, or null.
    const AttributeValue* Find(AttributeId id) const
    {
        const std::optional<size_t> slot = mSlot(id);
        return slot.has_value() && mvecValues[*slot].has_value() ? &*mvecValues[*slot] : nullptr;
    }

    void Clear()
    {
        if (!mblnEmpty)
            mvecValues.fill(std::nullopt);
        mblnEmpty = true;
    }

private:
    static constexpr std::array<AttributeId, 7> mvecIDS = {
        ATTRIBUTE_COLOR_SPACE,        ATTRIBUTE_MEDIA_SIZE,        ATTRIBUTE_ORIENTATION,
        ATTRIBUTE_CUSTOM_MEDIA_SIZE,  ATTRIBUTE_CUSTOM_MEDIA_SIZE_UNITS,
        ATTRIBUTE_SIMPLEX_PAGE_MODE,  ATTRIBUTE_DUPLEX_PAGE_MODE,
    };

    static std::optional<size_t> mSlot(uint32_t id)
    {
        for (size_t slot = 0; slot < mvecIDS.size(); ++slot) {
            if (mvecIDS[slot] == id)
                return slot;
        }
        return std::nullopt;
    }

    std::array<std::optional<AttributeValue>, mvecIDS.size()> mvecValues;
    bool mblnEmpty = true;
};

}  // namespace RawPrintData::PCL6
