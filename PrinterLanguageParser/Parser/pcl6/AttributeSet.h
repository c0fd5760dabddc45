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
    // Whether a value given for the id would be kept: the parser acts on the
    // id and no value came for it yet.
    bool Wants(uint32_t id) const
    {
        const std::optional<size_t> slot = mSlot(id);
        return slot.has_value() && !mvecValues[*slot].has_value();
    }

    // Whether values given for the id are kept at all.
    static constexpr bool Keeps(uint32_t id) { return mSlot(id).has_value(); }

    // Keeps the value when Wants says so.
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
    static constexpr std::array<AttributeId, 8> mvecIDS = {
        ATTRIBUTE_COLOR_SPACE,       ATTRIBUTE_MEDIA_SIZE,       ATTRIBUTE_ORIENTATION,
        ATTRIBUTE_CUSTOM_MEDIA_SIZE, ATTRIBUTE_CUSTOM_MEDIA_SIZE_UNITS,
        ATTRIBUTE_SIMPLEX_PAGE_MODE, ATTRIBUTE_DUPLEX_PAGE_MODE, ATTRIBUTE_VU_DATA_LENGTH,
    };

    // The slot of an id; the ids kept are small numbers but for the vendor
    // data length, so a table indexed by id finds them at once, and the many
    // larger ids (points, sizes) are passed over by comparisons.
    [[gnu::always_inline]] static constexpr std::optional<size_t> mSlot(uint32_t id)
    {
        if (id >= mvecSLOTS.size()) [[likely]] {
            if (id != ATTRIBUTE_VU_DATA_LENGTH) [[likely]]
                return std::nullopt;
            return mvecIDS.size() - 1;
        }
        if (mvecSLOTS[id] == mintNO_SLOT)
            return std::nullopt;
        return mvecSLOTS[id];
    }

    static constexpr uint8_t mintNO_SLOT = 0xFF;
    static_assert(mvecIDS.back() == ATTRIBUTE_VU_DATA_LENGTH);
    static constexpr std::array<uint8_t, 64> mvecSLOTS = [] {
        std::array<uint8_t, 64> slots{};
        slots.fill(mintNO_SLOT);
        for (size_t slot = 0; slot + 1 < mvecIDS.size(); ++slot)
            slots[mvecIDS[slot]] = static_cast<uint8_t>(slot);
        return slots;
    }();

    std::array<std::optional<AttributeValue>, mvecIDS.size()> mvecValues;
    bool mblnEmpty = true;
};

}  // namespace RawPrintData::PCL6
