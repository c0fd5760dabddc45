#include "PrinterLanguageParser/Parser/pcl6/PCL6Parser.h"

#include "PrinterLanguageParser/Parser/pcl6/Operation.h"

#include <array>

namespace RawPrintData::PCL6 {

namespace {

// Bytes of one element of each element type: ubyte, uint16, uint32, sint16,
// sint32, real32.
constexpr std::array<uint64_t, ELEMENT_TYPE_COUNT> ELEMENT_SIZES = {1, 2, 4, 2, 4, 4};

// Where the data-type tags of each shape begin, with their element counts.
struct Shape {
    unsigned char mbytFirstTag;
    uint32_t mintCount;
};
constexpr std::array<Shape, 3> FIXED_SHAPES = {{{TAG_FIRST_SINGLE, 1}, {TAG_FIRST_XY, 2}, {TAG_FIRST_BOX, 4}}};

}  // namespace

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
    if (mByteOrder == nullptr) {
        const ParseDataResultType header = mintReadStreamHeader(buffer, position);
        if (header != PARSE_RESULT_HANDLED)
            return header;
    }

    mContiguous.Bind(buffer);
    for (;;) {
        if (!mSkip.Advance(position, end)) {
            mintBytesProcessed = end;
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        if (position >= end)
            break;

        const TagBytes bytes = mContiguous.View(position, mintMAX_TAG_LENGTH);
        const unsigned char tag = bytes[0];
        uint64_t length = 1;
        if (tag >= TAG_FIRST_OPERATOR && tag <= TAG_LAST_OPERATOR) {
            mHandleOperator(tag);
        } else if (tag >= TAG_FIRST_DATA_TYPE && tag <= TAG_LAST_DATA_TYPE) {
            length = mintHandleDataType(bytes);
        } else if (tag == TAG_ATTRIBUTE_UBYTE || tag == TAG_ATTRIBUTE_UINT16) {
            length = mintHandleAttribute(bytes);
        } else if (tag == TAG_EMBEDDED_DATA || tag == TAG_EMBEDDED_DATA_BYTE) {
            length = mHandleEmbeddedData(bytes);
        } else if (tag == TAG_ESCAPE) {
            // The universal exit language: the session ends and PJL reads on.
            mEndSession();
            mintBytesProcessed = position;
            NotifyNextLanguage(LANGUAGE_PJL);
            return PARSE_RESULT_SWITCH_LANGUAGE;
        }  // any other byte is white space or the like, passed over

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
    } else if (binding == BINDING_BIG_ENDIAN) {
        Log(LOG_INFO, "PCL6Parser::ReadStreamHeader - Using BigEndian stream binding.");
        mByteOrder = std::make_unique<BigEndian>();
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
    return PARSE_RESULT_HANDLED;
}

// Reads a single value, an xy pair or a box into the pending value, or an
// array's header (its elements are skipped).
uint64_t PCL6Parser::mintHandleDataType(TagBytes tag)
{
    if (mblnDebug)
        Log(LOG_DEBUG, "PCL6Parser::ParseData - Data Type: 0x%02X", tag[0]);
    if (tag[0] >= TAG_FIRST_ARRAY && tag[0] < TAG_FIRST_ARRAY + ELEMENT_TYPE_COUNT)
        return mintHandleArray(tag, tag[0] - TAG_FIRST_ARRAY);

    for (const Shape& shape : FIXED_SHAPES) {
        if (tag[0] < shape.mbytFirstTag || tag[0] >= shape.mbytFirstTag + ELEMENT_TYPE_COUNT)
            continue;
        const unsigned int elementType = tag[0] - shape.mbytFirstTag;
        const uint64_t elementSize = ELEMENT_SIZES[elementType];
        const uint64_t length = 1 + shape.mintCount * elementSize;
        if (tag.size() < length)
            return mintNEED_MORE_DATA;
        AttributeValue& value = mPendingValue.emplace(tag[0], shape.mintCount);
        for (uint32_t index = 0; index < shape.mintCount; ++index)
            value.SetElement(index, mReadElement(tag.subspan(1 + index * elementSize, elementSize), elementType));
        return length;
    }
    Log(LOG_ERROR, "PCL6Parser::HandleDataType - Unsupported data type %d.", tag[0]);
    return mintFAILURE;
}

// Reads an array's length (a ubyte or a uint16 value) and skips its elements.
uint64_t PCL6Parser::mintHandleArray(TagBytes tag, unsigned int elementType)
{
    if (tag.size() < 2)
        return mintNEED_MORE_DATA;
    const bool byteLength = tag[1] == TAG_UBYTE;
    const uint64_t length = byteLength ? 3 : 4;
    if (tag.size() < length)
        return mintNEED_MORE_DATA;
    const uint32_t count = byteLength ? tag[2] : mByteOrder->Combine_uint16(tag[2], tag[3]);
    mPendingValue.emplace(tag[0], count);
    mSkip.Set(count * ELEMENT_SIZES[elementType]);
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
    const uint32_t id = byteId ? tag[1] : mByteOrder->Combine_uint16(tag[1], tag[2]);
    // Id 0 names no attribute: the value waits for a real id.
    if (id == 0)
        return length;
    if (mblnDebug)
        Log(LOG_DEBUG, "PCL6Parser::ParseData - Attribute: %u", id);
    mAttributes.Add(id, *mPendingValue);
    mPendingValue.reset();
    return length;
}

// Reads the length of embedded data and starts skipping it.
uint64_t PCL6Parser::mHandleEmbeddedData(TagBytes tag)
{
    const bool byteLength = tag[0] == TAG_EMBEDDED_DATA_BYTE;
    const uint64_t length = byteLength ? 2 : 5;
    if (tag.size() < length)
        return mintNEED_MORE_DATA;
    const uint64_t dataLength = byteLength ? tag[1] : mByteOrder->Combine_uint32(tag[1], tag[2], tag[3], tag[4]);
    if (mblnDebug)
        Log(LOG_DEBUG, "PCL6Parser::ParseData - Skipping %llu bytes", static_cast<unsigned long long>(dataLength));
    mSkip.Set(dataLength);
    return length;
}

// Runs the operator with the attributes gathered before it.
void PCL6Parser::mHandleOperator(unsigned char operatorTag)
{
    if (mblnDebug)
        Log(LOG_DEBUG, "PCL6Parser::ParseData - Operator: 0x%02X", operatorTag);
    Operation(operatorTag, mAttributes).ExecuteStrategy(*this);
    mAttributes.Clear();
}

// Forgets the stream: a session that follows starts with its own header.
void PCL6Parser::mEndSession()
{
    mByteOrder.reset();
    mPendingValue.reset();
    mAttributes.Clear();
    mSkip.Clear();
}

// One element in the stream's byte order.
double PCL6Parser::mReadElement(TagBytes bytes, unsigned int elementType) const
{
    switch (elementType) {
    case 0:
        return bytes[0];
    case 1:
        return mByteOrder->Combine_uint16(bytes[0], bytes[1]);
    case 2:
        return mByteOrder->Combine_uint32(bytes[0], bytes[1], bytes[2], bytes[3]);
    case 3:
        return mByteOrder->Combine_int16(bytes[0], bytes[1]);
    case 4:
        return mByteOrder->Combine_int32(bytes[0], bytes[1], bytes[2], bytes[3]);
    default:
        return mByteOrder->Combine_real32(bytes[0], bytes[1], bytes[2], bytes[3]);
    }
}

// Ends the stream.
ParseDataResultType PCL6Parser::ParseDone()
{
    mByteOrder.reset();
    return PARSE_RESULT_HANDLED;
}

// Reports the current page.
void PCL6Parser::NotifyDefaultPageCompleted()
{
    NotifyPageCompleted(mCurrentPage);
}

// Gives the page its size; sizes come from a table or are already bounded.
void PCL6Parser::SetCurrentPaperSize(int64_t width, int64_t height)
{
    mCurrentPage.mintWidth = static_cast<int32_t>(width);
    mCurrentPage.mintHeight = static_cast<int32_t>(height);
}

// Makes the colour space current and reports the colour type it stands for.
void PCL6Parser::SetColorSpace(uint32_t colorSpace)
{
    mintColorSpace = colorSpace;
    const bool color = IsColorSpaceColor();
    if (color)
        mCurrentPage.mblnColor = true;
    const RawColorType colorType = color ? COLOR_TYPE_COLOR : COLOR_TYPE_MONO;
    if (colorType > mintHighestColorType) {
        mintHighestColorType = colorType;
        NotifyJobPropertyChanged(PROPERTY_COLOR_TYPE, &mintHighestColorType);
    }
}

}  // namespace RawPrintData::PCL6
