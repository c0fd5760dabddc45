#include "PrinterLanguageParser/Parser/pcl6/PCL6Parser.h"

#include "PrinterLanguageParser/Parser/CommandText.h"
#include "PrinterLanguageParser/Parser/pcl6/Operation.h"

#include <algorithm>
#include <array>
#include <bit>

namespace RawPrintData::PCL6 {

namespace {

// Bytes of one element of each element type: ubyte, uint16, uint32, sint16,
// sint32, real32.
constexpr std::array<uint64_t, ELEMENT_TYPE_COUNT> ELEMENT_SIZES = {1, 2, 4, 2, 4, 4};

// What a PCL XL stream header names after its binding byte. Other streams
// share the header's form (Ricoh's SAG-GDI of rastertosag-gdi) but not its
// tags.
constexpr std::string_view PCL_XL_STREAM_CLASS{" HP-PCL XL"};

// Where the data-type tags of each shape begin, with their element counts.
struct Shape {
    unsigned char mbytFirstTag;
    uint32_t mintCount;
};
constexpr std::array<Shape, 3> FIXED_SHAPES = {{{TAG_FIRST_SINGLE, 1}, {TAG_FIRST_XY, 2}, {TAG_FIRST_BOX, 4}}};

// What each tag byte is.
enum class TagKind : uint8_t { Other, Operator, DataType, Attribute, EmbeddedData, Escape };

constexpr std::array<TagKind, 256> TAG_KINDS = [] {
    std::array<TagKind, 256> kinds{};
    for (unsigned int tag = TAG_FIRST_OPERATOR; tag <= TAG_LAST_OPERATOR; ++tag)
        kinds[tag] = TagKind::Operator;
    for (unsigned int tag = TAG_FIRST_DATA_TYPE; tag <= TAG_LAST_DATA_TYPE; ++tag)
        kinds[tag] = TagKind::DataType;
    kinds[TAG_ATTRIBUTE_UBYTE] = TagKind::Attribute;
    kinds[TAG_ATTRIBUTE_UINT16] = TagKind::Attribute;
    kinds[TAG_EMBEDDED_DATA] = TagKind::EmbeddedData;
    kinds[TAG_EMBEDDED_DATA_BYTE] = TagKind::EmbeddedData;
    kinds[TAG_ESCAPE] = TagKind::Escape;
    return kinds;
}();

// The operators that bear on pages, paper and the job; with those of the
// colour judge, the operators the parser acts on. Every other one only ends
// its attributes.
constexpr std::array<bool, 256> PAGE_OPERATORS = [] {
    std::array<bool, 256> actedOn{};
    for (const OperatorType operatorTag :
         {OPERATOR_BEGIN_PAGE, OPERATOR_END_PAGE, OPERATOR_VENDOR_UNIQUE, OPERATOR_SET_COLOR_SPACE})
        actedOn[operatorTag] = true;
    return actedOn;
}();
constexpr std::array<bool, 256> ACTED_ON_OPERATORS = [] {
    std::array<bool, 256> actedOn = PAGE_OPERATORS;
    for (unsigned int operatorTag = TAG_FIRST_OPERATOR; operatorTag <= TAG_LAST_OPERATOR; ++operatorTag)
        actedOn[operatorTag] = actedOn[operatorTag] || PxlColourJudge::ActsOn(operatorTag);
    return actedOn;
}();

// The element count of each data-type tag: 1, 2 or 4 for a single value, an
// xy pair or a box, ARRAY for an array, 0 for an unsupported tag.
constexpr uint32_t ARRAY = UINT32_MAX;
constexpr std::array<uint32_t, 256> DATA_TYPE_COUNTS = [] {
    std::array<uint32_t, 256> counts{};
    for (unsigned int elementType = 0; elementType < ELEMENT_TYPE_COUNT; ++elementType) {
        for (const Shape& shape : FIXED_SHAPES)
            counts[shape.mbytFirstTag + elementType] = shape.mintCount;
        counts[TAG_FIRST_ARRAY + elementType] = ARRAY;
    }
    return counts;
}();

// The length of each tag of a single value, an xy pair or a box, tag byte
// included; 0 for every other tag.
constexpr std::array<uint8_t, 256> FIXED_VALUE_LENGTHS = [] {
    std::array<uint8_t, 256> lengths{};
    for (unsigned int elementType = 0; elementType < ELEMENT_TYPE_COUNT; ++elementType) {
        for (const Shape& shape : FIXED_SHAPES)
            lengths[shape.mbytFirstTag + elementType] = static_cast<uint8_t>(1 + shape.mintCount * ELEMENT_SIZES[elementType]);
    }
    return lengths;
}();

// How the common tags loop reads each tag: an operator not acted on steps
// one byte, a single value, pair or box steps its length (tag included, 2 at
// least), an array the length its header gives, embedded data the length of
// its header and data, and every other tag is left to the general loop.
constexpr uint8_t COMMON_STEP_OTHER = 0;
constexpr uint8_t COMMON_STEP_OPERATOR = 1;
constexpr uint8_t COMMON_STEP_ACTED_ON_OPERATOR = UINT8_MAX - 2;
constexpr uint8_t COMMON_STEP_EMBEDDED_DATA = UINT8_MAX - 1;
constexpr uint8_t COMMON_STEP_ARRAY = UINT8_MAX;
// The operators of paths and the cursor are common ones only while the
// colour judge does not follow them (PxlColourJudge::WantsGeometry): there is
// a table for each case, indexed by whether it does.
constexpr std::array<uint8_t, 256> CommonTagSteps(bool geometry)
{
    std::array<uint8_t, 256> steps = FIXED_VALUE_LENGTHS;
    for (unsigned int elementType = 0; elementType < ELEMENT_TYPE_COUNT; ++elementType)
        steps[TAG_FIRST_ARRAY + elementType] = COMMON_STEP_ARRAY;
    steps[TAG_EMBEDDED_DATA] = COMMON_STEP_EMBEDDED_DATA;
    steps[TAG_EMBEDDED_DATA_BYTE] = COMMON_STEP_EMBEDDED_DATA;
    for (unsigned int tag = TAG_FIRST_OPERATOR; tag <= TAG_LAST_OPERATOR; ++tag) {
        const bool actedOn = ACTED_ON_OPERATORS[tag] && (geometry || !PxlMarkGeometry::IsPathOperator(tag));
        steps[tag] = actedOn ? COMMON_STEP_ACTED_ON_OPERATOR : COMMON_STEP_OPERATOR;
    }
    return steps;
}
constexpr std::array<std::array<uint8_t, 256>, 2> COMMON_TAG_STEPS = {CommonTagSteps(false), CommonTagSteps(true)};

// The one-byte attribute ids whose values are dropped as soon as the id
// comes: every id but those kept and 0, which names no attribute.
constexpr std::array<bool, 256> DroppedByteIds(bool geometry)
{
    std::array<bool, 256> dropped{};
    for (unsigned int id = 1; id < dropped.size(); ++id)
        dropped[id] = !AttributeSet::Keeps(id) || (!geometry && PxlMarkGeometry::IsPathAttribute(id));
    return dropped;
}
constexpr std::array<std::array<bool, 256>, 2> DROPPED_BYTE_IDS = {DroppedByteIds(false), DroppedByteIds(true)};

// Whether the value of `length` bytes (tag included) at tag is followed by
// the one-byte id of an attribute whose value is dropped. The length is a
// constant of each case of the common tags loop, so that where the next tag
// lies is known from the branch taken rather than from the bytes loaded.
template <uint64_t length>
[[gnu::always_inline]] inline bool IsDroppedValue(const unsigned char* tag, const std::array<bool, 256>& dropped)
{
    return tag[length] == TAG_ATTRIBUTE_UBYTE && dropped[tag[length + 1]];
}

// A number of 2 or 4 bytes in the stream's byte order.
[[gnu::always_inline]] inline uint32_t Combine(const unsigned char* bytes, unsigned int size, bool littleEndian)
{
    uint32_t number = 0;
    for (unsigned int index = 0; index < size; ++index)
        number = number << 8 | bytes[littleEndian ? size - 1 - index : index];
    return number;
}

// One element of an element type in the stream's byte order.
double ReadElement(const unsigned char* bytes, unsigned int elementType, bool littleEndian)
{
    switch (elementType) {
    case 0:
        return bytes[0];
    case 1:
        return Combine(bytes, 2, littleEndian);
    case 2:
        return Combine(bytes, 4, littleEndian);
    case 3:
        return static_cast<int16_t>(Combine(bytes, 2, littleEndian));
    case 4:
        return static_cast<int32_t>(Combine(bytes, 4, littleEndian));
    default:
        return std::bit_cast<float>(Combine(bytes, 4, littleEndian));
    }
}

}  // namespace

// Reads the tags that make up nearly all of a stream straight from the
// chunk, with fewer checks than the general loop: operators with the
// attributes gathered before them, values (single, pair, box or short
// array) followed by a one-byte attribute id, and embedded data that lies
// whole in the chunk. It stops at any other tag (an escape, a two-byte id, a
// long array kept, a value without its id), where a tag could run past the
// chunk, and after an operator whose raw data follows; the general loop
// reads on from there, with the same result. It leaves a pending value (one
// whose id has not come) to the general loop too. Only debug logging, which
// names every tag, keeps to the general loop.
uint64_t PCL6Parser::mintReadCommonTags(const DataBuffer& buffer, uint64_t position)
{
    const uint64_t preLength = buffer.PreBufferLength();
    const std::span<const unsigned char> main = buffer.MainBuffer();
    // The most one step reads: the longest value and a one-byte id after it.
    constexpr uint64_t longestStep = mintMAX_TAG_LENGTH + 2;
    // The commonest steps are taken four at a time, with one check of the
    // end of the chunk.
    constexpr uint64_t stepsAtOnce = 4;
    if (position < preLength || main.size() < longestStep * stepsAtOnce || mPendingValue.has_value())
        return position;
    const unsigned char* const start = main.data();
    const unsigned char* const end = start + main.size();
    const unsigned char* const limit = end - longestStep;
    const unsigned char* const limitAtOnce = end - longestStep * stepsAtOnce;
    const unsigned char* tag = start + (position - preLength);
    const bool littleEndian = mblnLittleEndian;
    // An operator not acted on only ends the attributes gathered before it
    // and the data an image awaited: both are settled when next looked at.
    bool operatorRead = false;
    // The operators of paths and the cursor are acted on, and their
    // attributes kept, only while the colour judge follows them; an operator
    // or data the loop hands over may change that.
    const std::array<uint8_t, 256>* steps = nullptr;
    const std::array<bool, 256>* dropped = nullptr;
    const auto followGeometry = [&] {
        const bool geometry = mColour.WantsGeometry();
        steps = &COMMON_TAG_STEPS[geometry];
        dropped = &DROPPED_BYTE_IDS[geometry];
    };
    followGeometry();
    const auto settleOperators = [&] {
        if (operatorRead) {
            operatorRead = false;
            mColour.OperatorComing();
            mAttributes.Clear();
        }
    };
    // The commonest steps, an operator not acted on and a value of 2, 3 or
    // 5 bytes dropped, each with its length as a constant: the next tag's
    // place then waits on no load and the loop runs ahead. False, having
    // read nothing, at any other tag.
    const auto commonStep = [&]() __attribute__((always_inline)) {
        const uint8_t step = (*steps)[*tag];
        if (step == COMMON_STEP_OPERATOR) [[likely]] {
            operatorRead = true;
            ++tag;
            return true;
        }
        if (step == 5 && IsDroppedValue<5>(tag, *dropped)) {
            tag += 7;
            return true;
        }
        if (step == 2 && IsDroppedValue<2>(tag, *dropped)) {
            tag += 4;
            return true;
        }
        if (step == 3 && IsDroppedValue<3>(tag, *dropped)) {
            tag += 5;
            return true;
        }
        return false;
    };
    for (;;) {
        if (tag <= limitAtOnce) {
            if (commonStep() && commonStep() && commonStep() && commonStep())
                continue;
        } else if (tag > limit) {
            break;
        } else if (commonStep()) {
            continue;
        }

        // Any other tag, at or before the limit.
        const uint8_t step = (*steps)[*tag];
        if (step == COMMON_STEP_ACTED_ON_OPERATOR) {
            settleOperators();
            mColour.OperatorComing();
            mHandleOperator(*tag);
            mAttributes.Clear();
            followGeometry();
            ++tag;
            if (mSkip.Remaining() != 0)
                break;  // raw data of a VendorUnique operator: the general loop skips it
            continue;
        }
        if (step == COMMON_STEP_EMBEDDED_DATA) {
            const EmbeddedData data = mReadEmbeddedData(TagBytes(tag, end));
            if (data.mintHeaderLength == mintNEED_MORE_DATA ||
                data.mintDataLength > static_cast<uint64_t>(end - tag) - data.mintHeaderLength)
                break;
            settleOperators();
            const TagBytes embedded(tag + data.mintHeaderLength, data.mintDataLength);
            if (mColour.StartData(embedded.size())) {
                if (!embedded.empty())
                    mColour.Feed(embedded);
                mColour.EndData();
            }
            followGeometry();
            tag = embedded.data() + embedded.size();
            continue;
        }
        if (step == COMMON_STEP_OTHER)
            break;

        // A value followed by the one-byte id of an attribute, or an array.
        // An array's header (tag and a ubyte or uint16 count) lies before
        // the limit; its elements and the id after them must lie in the
        // chunk.
        uint64_t length = step;
        uint32_t count = DATA_TYPE_COUNTS[*tag];
        uint64_t header = 1;
        if (step == COMMON_STEP_ARRAY) {
            const bool byteCount = tag[1] == TAG_UBYTE;
            header = byteCount ? 3 : 4;
            count = byteCount ? tag[2] : Combine(tag + 2, 2, littleEndian);
            length = header + count * ELEMENT_SIZES[*tag & 0x07];
            if (length + 2 > static_cast<uint64_t>(end - tag))
                break;
        }
        if (tag[length] != TAG_ATTRIBUTE_UBYTE)
            break;
        const unsigned char id = tag[length + 1];
        if (!(*dropped)[id]) {
            // Id 0 waits for a real id, and a long array kept is gathered
            // by the general loop.
            if (id == 0 || length > mintMAX_TAG_LENGTH)
                break;
            settleOperators();
            mKeepValue(id, *tag, count, TagBytes(tag + header, length - header));
        }
        tag += length + 2;
    }
    settleOperators();
    return preLength + static_cast<uint64_t>(tag - start);
}

// Reads the header when the stream starts, then tag after tag; a tag cut by
// the end of the data is read again, from its first byte, with the next chunk.
ParseDataResultType PCL6Parser::ParseData(const DataBuffer& buffer)
{
    mintBytesProcessed = 0;
    mblnDebug = GetLogLevel() >= LOG_DEBUG;
    const uint64_t end = buffer.Length();
    if (end == 0)
        return PARSE_RESULT_HANDLED;

    uint64_t position = 0;
    if (mblnOtherStream)
        return mintPassOverOtherStream(buffer, 0);
    if (mByteOrder == nullptr) {
        const ParseDataResultType header = mintReadStreamHeader(buffer, position);
        if (header != PARSE_RESULT_HANDLED)
            return header;
        if (mblnOtherStream)
            return mintPassOverOtherStream(buffer, position);
    }

    mContiguous.Bind(buffer);
    for (;;) {
        // Data being skipped, or fed whole at the end of the last chunk.
        if (mSkip.Remaining() != 0 || mSkipped != SkippedData::Passed) [[unlikely]] {
            if (mSkipped != SkippedData::Passed)
                mFeedSkippedData(buffer, position, end);
            if (!mSkip.Advance(position, end)) {
                mintBytesProcessed = end;
                return PARSE_RESULT_NEED_MORE_DATA;
            }
            if (mSkipped == SkippedData::Colour)
                mColour.EndData();
            mSkipped = SkippedData::Passed;
        }
        if (position >= end)
            break;
        if (!mblnDebug) {
            position = mintReadCommonTags(buffer, position);
            if (mSkip.Remaining() != 0)
                continue;  // the raw data of the operator it stopped after
            if (position >= end)
                break;
        }

        const TagBytes bytes = mContiguous.View(position, mintMAX_TAG_LENGTH);
        const unsigned char tag = bytes[0];
        uint64_t length = 1;
        switch (TAG_KINDS[tag]) {
        case TagKind::DataType:
            length = mintHandleDataType(bytes);
            // A value is nearly always followed by its attribute id: reading
            // the id at once spares a round through the loop. An id cut by
            // the end of the view is read by the next round, and after an
            // array's header come its elements, which are skipped first.
            if (length != mintNEED_MORE_DATA && length != mintFAILURE && mSkip.Remaining() == 0 &&
                length < bytes.size() && TAG_KINDS[bytes[length]] == TagKind::Attribute) {
                const uint64_t idLength = mintHandleAttribute(bytes.subspan(length));
                if (idLength != mintNEED_MORE_DATA && idLength != mintFAILURE)
                    length += idLength;
            }
            break;
        case TagKind::Attribute:
            length = mintHandleAttribute(bytes);
            break;
        case TagKind::Operator:
            mColour.OperatorComing();
            if (ACTED_ON_OPERATORS[tag] || mblnDebug)
                mHandleOperator(tag);
            mAttributes.Clear();
            break;
        case TagKind::EmbeddedData:
            length = mHandleEmbeddedData(bytes);
            break;
        case TagKind::Escape:
            // The universal exit language: the session ends and PJL reads on.
            mEndSession();
            mintBytesProcessed = position;
            NotifyNextLanguage(LANGUAGE_PJL);
            return PARSE_RESULT_SWITCH_LANGUAGE;
        case TagKind::Other:
            break;  // white space and the like, passed over
        }

        if (length == mintNEED_MORE_DATA) {
            mintBytesProcessed = position;
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        if (length == mintFAILURE) {
            mintBytesProcessed = position + 1;  // a caller that reads on starts past the tag
            return PARSE_RESULT_FAILURE;
        }
        position += length;
    }
    mintBytesProcessed = end;
    return PARSE_RESULT_HANDLED;
}

// Reads the binding byte and passes over the rest of the header line.
ParseDataResultType PCL6Parser::mintReadStreamHeader(const DataBuffer& buffer, uint64_t& position)
{
    const unsigned char binding = buffer[0];
    if (binding == BINDING_LITTLE_ENDIAN) {
        Log(LOG_INFO, "PCL6Parser::ReadStreamHeader - Using LittleEndian stream binding.");
        mByteOrder = std::make_unique<LittleEndian>();
        mblnLittleEndian = true;
    } else if (binding == BINDING_BIG_ENDIAN) {
        Log(LOG_INFO, "PCL6Parser::ReadStreamHeader - Using BigEndian stream binding.");
        mByteOrder = std::make_unique<BigEndian>();
        mblnLittleEndian = false;
    } else {
        Log(LOG_ERROR, "PCL6Parser::ReadStreamHeader - Unsupported binding '%c'", binding);
        mintBytesProcessed = 0;
        NotifyNextLanguage(LANGUAGE_UNKNOWN);
        return PARSE_RESULT_SWITCH_LANGUAGE;
    }

    const uint64_t lineFeed = buffer.Find("\n", 1);
    if (lineFeed != DataBuffer::npos && lineFeed < mintMAX_HEADER_LENGTH) {
        position = lineFeed + 1;
    } else if (buffer.Length() >= mintMAX_HEADER_LENGTH) {
        Log(LOG_ERROR, "PCL6Parser::ReadStreamHeader - Header line longer than %llu bytes, reading tags after it.",
            static_cast<unsigned long long>(mintMAX_HEADER_LENGTH));
        position = mintMAX_HEADER_LENGTH;
    } else {
        // The header is read again, whole, with more data.
        mByteOrder.reset();
        mintBytesProcessed = 0;
        return PARSE_RESULT_NEED_MORE_DATA;
    }
    if (MatchAt(buffer, 1, PCL_XL_STREAM_CLASS) != TextMatch::Full) {
        Log(LOG_INFO, "PCL6Parser::ReadStreamHeader - The stream is not PCL XL; it is passed over.");
        mByteOrder.reset();
        mblnOtherStream = true;
    }
    return PARSE_RESULT_HANDLED;
}

// Passes over a stream that is not PCL XL, up to the universal exit language
// that hands the job back to PJL, or to the end of the job.
ParseDataResultType PCL6Parser::mintPassOverOtherStream(const DataBuffer& buffer, uint64_t from)
{
    const uint64_t exit = buffer.Find(mstrUNIVERSAL_EXIT_LANGUAGE, from);
    if (exit != DataBuffer::npos) {
        mblnOtherStream = false;
        mintBytesProcessed = exit;
        NotifyNextLanguage(LANGUAGE_PJL);
        return PARSE_RESULT_SWITCH_LANGUAGE;
    }
    mintBytesProcessed = ResumeMarkerSearch(buffer, from, mstrUNIVERSAL_EXIT_LANGUAGE);
    return PARSE_RESULT_NEED_MORE_DATA;
}

// Reads a single value, an xy pair or a box into the pending value, or an
// array's header (its elements are skipped).
uint64_t PCL6Parser::mintHandleDataType(TagBytes tag)
{
    if (mblnDebug)
        Log(LOG_DEBUG, "PCL6Parser::ParseData - Data Type: 0x%02X", tag[0]);
    const uint32_t count = DATA_TYPE_COUNTS[tag[0]];
    const unsigned int elementType = tag[0] & 0x07;
    if (count == ARRAY)
        return mintHandleArray(tag, elementType);
    if (count == 0) {
        Log(LOG_ERROR, "PCL6Parser::HandleDataType - Unsupported data type %d.", tag[0]);
        return mintFAILURE;
    }
    const uint64_t length = 1 + count * ELEMENT_SIZES[elementType];
    if (tag.size() < length)
        return mintNEED_MORE_DATA;
    PendingValue& value = mPendingValue.emplace();
    value.mbytDataType = tag[0];
    for (uint64_t index = 1; index < length; ++index)
        value.mbytElements[index - 1] = tag[index];
    return length;
}

// Reads an array's length (a ubyte or a uint16 value) and skips its elements;
// an array short enough to be read with its header, such as a MediaSize name
// or an RGBColor, is kept whole, and so is a longer ubyte array as it is
// skipped.
uint64_t PCL6Parser::mintHandleArray(TagBytes tag, unsigned int elementType)
{
    if (tag.size() < 2)
        return mintNEED_MORE_DATA;
    const bool byteLength = tag[1] == TAG_UBYTE;
    const uint64_t length = byteLength ? 3 : 4;
    if (tag.size() < length)
        return mintNEED_MORE_DATA;
    const uint32_t count = byteLength ? tag[2] : Combine(&tag[2], 2, mblnLittleEndian);
    const uint64_t bytes = count * ELEMENT_SIZES[elementType];
    PendingValue& value = mPendingValue.emplace();
    value.mbytDataType = tag[0];
    value.mintArrayLength = static_cast<uint16_t>(count);
    if (length + bytes <= mintMAX_TAG_LENGTH) {
        if (tag.size() < length + bytes)
            return mintNEED_MORE_DATA;
        std::copy_n(tag.begin() + static_cast<std::ptrdiff_t>(length), bytes, value.mbytElements.begin());
        return length + bytes;
    }
    // A longer ubyte array (a palette) is kept as it is skipped.
    if (elementType == 0 && bytes <= mintMAX_LONG_ARRAY) {
        value.mblnLongArray = true;
        mvecLongArray.clear();
        mSkipped = SkippedData::LongArray;
    }
    mSkip.Set(bytes);
    return length;
}

// Gives the pending value its attribute id.
uint64_t PCL6Parser::mintHandleAttribute(TagBytes tag)
{
    if (!mPendingValue.has_value()) {
        Log(LOG_ERROR, "PCL6Parser::HandleDataType - Attribute value being set with no data type detected.");
        return mintFAILURE;
    }
    const bool byteId = tag[0] == TAG_ATTRIBUTE_UBYTE;
    const uint64_t length = byteId ? 2 : 3;
    if (tag.size() < length)
        return mintNEED_MORE_DATA;
    const uint32_t id = byteId ? tag[1] : Combine(&tag[1], 2, mblnLittleEndian);
    // Id 0 names no attribute: the value waits for a real id.
    if (id == 0)
        return length;
    if (mblnDebug)
        Log(LOG_DEBUG, "PCL6Parser::ParseData - Attribute: %u", id);
    mKeepPendingValue(id);
    mPendingValue.reset();
    return length;
}

// Reads the length of embedded data and starts skipping it.
uint64_t PCL6Parser::mHandleEmbeddedData(TagBytes tag)
{
    const EmbeddedData data = mReadEmbeddedData(tag);
    if (data.mintHeaderLength == mintNEED_MORE_DATA)
        return mintNEED_MORE_DATA;
    if (mblnDebug)
        Log(LOG_DEBUG, "PCL6Parser::ParseData - Skipping %llu bytes", static_cast<unsigned long long>(data.mintDataLength));
    mSkip.Set(data.mintDataLength);
    if (mColour.StartData(data.mintDataLength)) {
        if (data.mintDataLength == 0)
            mColour.EndData();
        else
            mSkipped = SkippedData::Colour;
    }
    return data.mintHeaderLength;
}

// The header of embedded data: the 0xFB tag and a one-byte length, or the
// 0xFA tag and a four-byte length in stream order.
PCL6Parser::EmbeddedData PCL6Parser::mReadEmbeddedData(TagBytes tag) const
{
    const bool byteLength = tag[0] == TAG_EMBEDDED_DATA_BYTE;
    const uint64_t length = byteLength ? 2 : 5;
    if (tag.size() < length)
        return {mintNEED_MORE_DATA, 0};
    return {length, byteLength ? tag[1] : Combine(&tag[1], 4, mblnLittleEndian)};
}

// Hands the part of the skipped data at hand to whoever reads it.
void PCL6Parser::mFeedSkippedData(const DataBuffer& buffer, uint64_t position, uint64_t end)
{
    const uint64_t stop = std::min(end, position + mSkip.Remaining());
    uint64_t partStart = 0;
    for (const std::span<const unsigned char> part : {buffer.PreBuffer(), buffer.MainBuffer()}) {
        const uint64_t partEnd = partStart + part.size();
        const uint64_t from = std::max(position, partStart);
        const uint64_t to = std::min(stop, partEnd);
        if (from < to) {
            const std::span<const unsigned char> data = part.subspan(from - partStart, to - from);
            if (mSkipped == SkippedData::Colour)
                mColour.Feed(data);
            else
                mvecLongArray.insert(mvecLongArray.end(), data.begin(), data.end());
        }
        partStart = partEnd;
    }
}

// Runs the operator with the attributes gathered before it.
void PCL6Parser::mHandleOperator(unsigned char operatorTag)
{
    if (mblnDebug)
        Log(LOG_DEBUG, "PCL6Parser::ParseData - Operator: 0x%02X", operatorTag);
    if (PAGE_OPERATORS[operatorTag])
        Operation(operatorTag, mAttributes).ExecuteStrategy(*this);
    if (PxlColourJudge::ActsOn(operatorTag))
        mColour.Execute(operatorTag, mAttributes, mblnLittleEndian);
}

// Forgets the stream: a session that follows starts with its own header.
void PCL6Parser::mEndSession()
{
    mByteOrder.reset();
    mPendingValue.reset();
    mAttributes.Clear();
    mSkip.Clear();
    mSkipped = SkippedData::Passed;
    mColour.EndSession();
}

// Keeps the pending value for the attribute id, when the parser acts on it.
// Of an array skipped unread only the count is kept, and of a long ubyte
// array its bytes.
void PCL6Parser::mKeepPendingValue(uint32_t id)
{
    const PendingValue& pending = *mPendingValue;
    const uint32_t count = DATA_TYPE_COUNTS[pending.mbytDataType];
    const TagBytes elements(pending.mbytElements);
    if (count != ARRAY) {
        mKeepValue(id, pending.mbytDataType, count, elements);
        return;
    }
    const uint64_t bytes = pending.mintArrayLength * ELEMENT_SIZES[pending.mbytDataType & 0x07];
    if (!pending.mblnLongArray && bytes <= elements.size()) {
        mKeepValue(id, pending.mbytDataType, pending.mintArrayLength, elements.first(bytes));
    } else if (AttributeValue* value = mAttributes.Take(id, pending.mbytDataType)) {
        value->SetCount(pending.mintArrayLength);
        if (pending.mblnLongArray)
            value->SetBytes(mvecLongArray);
    }
}

// Keeps a value for the attribute id, when the parser acts on it: its
// elements (at most four are read) in the stream's byte order, and the bytes
// of a ubyte array. Called out of line, so that the common tags loop keeps
// its registers for its commonest steps.
[[gnu::noinline]] void PCL6Parser::mKeepValue(uint32_t id, unsigned char dataType, uint32_t count, TagBytes elements)
{
    AttributeValue* value = mAttributes.Take(id, dataType);
    if (value == nullptr)
        return;
    const unsigned int elementType = dataType & 0x07;
    value->SetCount(count);
    // A single ubyte or uint16, the commonest, at once.
    if (dataType == TAG_UBYTE) {
        value->SetElement(0, elements[0]);
        return;
    }
    if (dataType == TAG_UINT16) {
        value->SetElement(0, Combine(elements.data(), 2, mblnLittleEndian));
        return;
    }
    if (DATA_TYPE_COUNTS[dataType] == ARRAY && elementType == 0)
        value->SetBytes(elements.first(count));
    const uint64_t elementSize = ELEMENT_SIZES[elementType];
    const uint32_t read = std::min<uint32_t>(count, AttributeValue::mintMAX_ELEMENTS);
    for (uint32_t index = 0; index < read; ++index)
        value->SetElement(index, ReadElement(elements.data() + index * elementSize, elementType, mblnLittleEndian));
}

// Ends the stream.
ParseDataResultType PCL6Parser::ParseDone()
{
    mEndSession();
    mblnOtherStream = false;
    return PARSE_RESULT_HANDLED;
}

// Reports the current page.
void PCL6Parser::NotifyDefaultPageCompleted()
{
    mCurrentPage.mblnColor = mColour.PageIsColour();
    NotifyPageCompleted(mCurrentPage);
}

// Gives the page its size; sizes come from a table or are already bounded.
void PCL6Parser::SetCurrentPaperSize(int64_t width, int64_t height, std::string_view name)
{
    mCurrentPage.SetName(name);
    mCurrentPage.mintWidth = static_cast<int32_t>(width);
    mCurrentPage.mintHeight = static_cast<int32_t>(height);
}

// Makes the colour space current and reports the colour type it stands for.
void PCL6Parser::SetColorSpace(uint32_t colorSpace)
{
    mintColorSpace = colorSpace;
    const bool color = IsColorSpaceColor();
    const RawColorType colorType = color ? COLOR_TYPE_COLOR : COLOR_TYPE_MONO;
    if (colorType > mintHighestColorType) {
        mintHighestColorType = colorType;
        NotifyJobPropertyChanged(PROPERTY_COLOR_TYPE, &mintHighestColorType);
    }
}

}  // namespace RawPrintData::PCL6
