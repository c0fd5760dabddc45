#pragma once

#include "PrinterLanguageParser/Parser/pcl6/AttributeValue.h"
#include "PrinterLanguageParser/Parser/pcl6/PCL6Tags.h"

#include <array>
#include <bit>
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
    // Whether values given for the id are kept at all.
    static constexpr bool Keeps(uint32_t id) { return mSlot(id).has_value(); }

    // A new value of the data type for the id, to be filled in, when the
    // parser acts on the id and no value came for it yet; null otherwise.
    AttributeValue* Take(uint32_t id, unsigned char dataType)
    {
        const std::optional<size_t> slot = mSlot(id);
        if (!slot.has_value() || mvecValues[*slot].has_value())
            return nullptr;
        mintUsed |= uint64_t{1} << *slot;
        return &mvecValues[*slot].emplace(dataType);
    }

    // The value given for an id, or null.
    const AttributeValue* Find(AttributeId id) const
    {
        const std::optional<size_t> slot = mSlot(id);
        return slot.has_value() && mvecValues[*slot].has_value() ? &*mvecValues[*slot] : nullptr;
    }

    // Empties the slots given values, and only those.
    void Clear()
    {
        for (uint64_t used = mintUsed; used != 0; used &= used - 1)
            mvecValues[static_cast<size_t>(std::countr_zero(used))].reset();
        mintUsed = 0;
    }

private:
    static constexpr std::array<AttributeId, 47> mvecIDS = {
        ATTRIBUTE_COLOR_SPACE,       ATTRIBUTE_MEDIA_SIZE,        ATTRIBUTE_ORIENTATION,
        ATTRIBUTE_CUSTOM_MEDIA_SIZE, ATTRIBUTE_CUSTOM_MEDIA_SIZE_UNITS,
        ATTRIBUTE_SIMPLEX_PAGE_MODE, ATTRIBUTE_DUPLEX_PAGE_MODE,  ATTRIBUTE_VU_DATA_LENGTH,
        // Colours, images and figures, for the colour of the page.
        ATTRIBUTE_PALETTE_DEPTH,     ATTRIBUTE_NULL_BRUSH,        ATTRIBUTE_NULL_PEN,
        ATTRIBUTE_PALETTE_DATA,      ATTRIBUTE_PALETTE_INDEX,     ATTRIBUTE_PATTERN_SELECT_ID,
        ATTRIBUTE_GRAY_LEVEL,        ATTRIBUTE_RGB_COLOR,         ATTRIBUTE_PRIMARY_ARRAY,
        ATTRIBUTE_BOUNDING_BOX,      ATTRIBUTE_PEN_WIDTH,         ATTRIBUTE_COLOR_DEPTH,
        ATTRIBUTE_BLOCK_HEIGHT,      ATTRIBUTE_COLOR_MAPPING,     ATTRIBUTE_COMPRESS_MODE,
        ATTRIBUTE_DESTINATION_SIZE,  ATTRIBUTE_PATTERN_DEFINE_ID, ATTRIBUTE_SOURCE_HEIGHT,
        ATTRIBUTE_SOURCE_WIDTH,      ATTRIBUTE_START_LINE,        ATTRIBUTE_PAD_BYTES_MULTIPLE,
        ATTRIBUTE_MEASURE,           ATTRIBUTE_UNITS_PER_MEASURE, ATTRIBUTE_ROP3,
        ATTRIBUTE_TX_MODE,
        // Paths, text and the page's scale, for the area they cover.
        ATTRIBUTE_PAGE_SCALE,        ATTRIBUTE_END_POINT,         ATTRIBUTE_POINT,
        ATTRIBUTE_NUMBER_OF_POINTS,  ATTRIBUTE_POINT_TYPE,        ATTRIBUTE_CONTROL_POINT_1,
        ATTRIBUTE_CONTROL_POINT_2,   ATTRIBUTE_CHAR_CODE,         ATTRIBUTE_CHAR_SCALE,
        ATTRIBUTE_CHAR_SIZE,         ATTRIBUTE_FONT_NAME,         ATTRIBUTE_TEXT_DATA,
    };

    // The slot of an id, from a table indexed by id: the ids kept are all
    // below 256, and larger ones (two-byte ids) are passed over.
    [[gnu::always_inline]] static constexpr std::optional<size_t> mSlot(uint32_t id)
    {
        if (id >= mvecSLOTS.size() || mvecSLOTS[id] == mintNO_SLOT) [[likely]]
            return std::nullopt;
        return mvecSLOTS[id];
    }

    static constexpr uint8_t mintNO_SLOT = 0xFF;
    static constexpr std::array<uint8_t, 256> mvecSLOTS = [] {
        std::array<uint8_t, 256> slots{};
        slots.fill(mintNO_SLOT);
        for (size_t slot = 0; slot < mvecIDS.size(); ++slot)
            slots[mvecIDS[slot]] = static_cast<uint8_t>(slot);
        return slots;
    }();

    std::array<std::optional<AttributeValue>, mvecIDS.size()> mvecValues;
    // A bit for each slot given a value.
    uint64_t mintUsed = 0;
    static_assert(mvecIDS.size() <= 64);
};

}  // namespace RawPrintData::PCL6
