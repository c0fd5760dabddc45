#pragma once

#include "PrinterLanguageParser/Parser/CRawPage.h"
#include "PrinterLanguageParser/Parser/ContiguousBytes.h"
#include "PrinterLanguageParser/Parser/Endian.h"
#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/SkipCounter.h"
#include "PrinterLanguageParser/Parser/pcl6/AttributeSet.h"
#include "PrinterLanguageParser/Parser/pcl6/AttributeValue.h"
#include "PrinterLanguageParser/Parser/pcl6/PxlColourJudge.h"

#include <array>
#include <string_view>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace RawPrintData::PCL6 {

// A value whose attribute id has not come yet, kept as its data-type tag and
// bytes: it is decoded only for the few attributes the parser acts on.
struct PendingValue {
    unsigned char mbytDataType = 0;
    // The elements of an array.
    uint16_t mintArrayLength = 0;
    // A ubyte array too long for the elements below, kept by the parser.
    bool mblnLongArray = false;
    // The elements of a single value, pair or box: four 32-bit ones at most;
    // or the bytes of a short array (a name, a colour), mintArrayLength
    // elements.
    std::array<unsigned char, 16> mbytElements{};
};

// Reads a PCL XL stream: the stream header with its byte order, then the
// binary tags (values, attribute ids, operators, embedded data). Pages come
// from EndPage, their colour from what PxlColourJudge measures, duplex,
// orientation and the paper size from BeginPage. Embedded data is skipped
// unread, but for the image and raster-pattern data the judge reads as it
// streams by; an escape hands the rest back to PJL.
class PCL6Parser final : public IRawDataParser {
public:
    // The longest stream header line read; a longer one is taken to end there.
    static constexpr uint64_t mintMAX_HEADER_LENGTH = 4096;
    // The longest ubyte array kept (a palette of 256 RGB colours and more).
    static constexpr uint64_t mintMAX_LONG_ARRAY = 1024;

    PCL6Parser() : mColour(*this) {}

    ParseDataResultType ParseData(const DataBuffer& buffer) override;
    // Ends the stream: the next data starts with a header. A page without
    // EndPage is not counted.
    ParseDataResultType ParseDone() override;
    // Reports the current page; its colour flag stays until the next BeginPage.
    void NotifyDefaultPageCompleted() override;
    void Reset() override { mintHighestColorType = COLOR_TYPE_UNKNOWN; }

    void SetCurrentPageColor(bool color) { mCurrentPage.mblnColor = color; }
    // Passes over raw data that follows an operator, across chunks if need be;
    // the colour judge reads it when it is a VendorUnique's that it knows.
    void SkipOperatorData(uint64_t count)
    {
        mSkip.Set(count);
        if (mColour.StartVendorData(mAttributes, count))
            mSkipped = SkippedData::Colour;
    }
    // Takes the paper of the page; a page without a name counts in the
    // default page set.
    void SetCurrentPaperSize(int64_t width, int64_t height, std::string_view name);
    // Makes a colour space current. The colour type it stands for is reported
    // when it is above the highest reported so far.
    void SetColorSpace(uint32_t colorSpace);
    // Makes grey the current colour space, as at the start of every page.
    void ResetColorSpace() { mintColorSpace = COLOR_SPACE_GRAY; }
    bool IsColorSpaceColor() const
    {
        return mintColorSpace == COLOR_SPACE_RGB || mintColorSpace == COLOR_SPACE_CRGB ||
               mintColorSpace == COLOR_SPACE_SRGB;
    }

private:
    // The bytes of one tag: the tag byte and what follows it, as many as the
    // longest tag takes (a box of four 32-bit numbers) or fewer at the end.
    using TagBytes = std::span<const unsigned char>;
    static constexpr uint64_t mintMAX_TAG_LENGTH = 17;
    // A pending value holds every byte of the longest tag after the tag byte.
    static_assert(std::tuple_size_v<decltype(PendingValue::mbytElements)> == mintMAX_TAG_LENGTH - 1);

    // What reading one tag found: its length, or why it has none.
    static constexpr uint64_t mintNEED_MORE_DATA = 0;
    static constexpr uint64_t mintFAILURE = UINT64_MAX;

    ParseDataResultType mintReadStreamHeader(const DataBuffer& buffer, uint64_t& position);
    ParseDataResultType mintPassOverOtherStream(const DataBuffer& buffer, uint64_t from);
    uint64_t mintReadCommonTags(const DataBuffer& buffer, uint64_t position);
    uint64_t mintHandleDataType(TagBytes tag);
    uint64_t mintHandleArray(TagBytes tag, unsigned int elementType);
    uint64_t mintHandleAttribute(TagBytes tag);
    uint64_t mHandleEmbeddedData(TagBytes tag);
    // Embedded data: the length of its header (tag and length), or
    // mintNEED_MORE_DATA, and the length of the data after it.
    struct EmbeddedData {
        uint64_t mintHeaderLength;
        uint64_t mintDataLength;
    };
    EmbeddedData mReadEmbeddedData(TagBytes tag) const;
    void mHandleOperator(unsigned char operatorTag);
    void mEndSession();
    void mFeedSkippedData(const DataBuffer& buffer, uint64_t position, uint64_t end);
    void mKeepPendingValue(uint32_t id);
    void mKeepValue(uint32_t id, unsigned char dataType, uint32_t count, TagBytes elements);

    // Whether debug lines are written, read once per call.
    bool mblnDebug = false;

    // The stream's byte order, absent until its header has been read; the
    // numbers of the tags are combined in it through the flag.
    std::unique_ptr<Endian> mByteOrder;
    bool mblnLittleEndian = true;
    // The stream header named another stream than PCL XL: its data is
    // passed over.
    bool mblnOtherStream = false;
    std::optional<PendingValue> mPendingValue;
    AttributeSet mAttributes;
    CRawPage mCurrentPage;
    RawColorType mintHighestColorType = COLOR_TYPE_UNKNOWN;
    uint32_t mintColorSpace = COLOR_SPACE_GRAY;
    SkipCounter mSkip;
    ContiguousBytes mContiguous;
    // Where the data being skipped goes: nowhere, to the colour judge (image
    // data), or to the long array kept.
    enum class SkippedData : uint8_t { Passed, Colour, LongArray };
    SkippedData mSkipped = SkippedData::Passed;
    std::vector<unsigned char> mvecLongArray;
    PxlColourJudge mColour;
};

}  // namespace RawPrintData::PCL6
