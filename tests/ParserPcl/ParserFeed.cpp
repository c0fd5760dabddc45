#include "tests/ParserPcl/ParserFeed.h"

#include "PrinterLanguageParser/Parser/DataBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace RawPrintData;

namespace ParserTestSupport {

// Records the value by the property's type.
void RecordingListener::OnJobPropertyChanged(RawDataJobProperty property, const void* value)
{
    int64_t number = 0;
    switch (property) {
    case PROPERTY_DUPLEX:
        number = *static_cast<const bool*>(value) ? 1 : 0;
        break;
    case PROPERTY_COPIES:
        number = static_cast<int64_t>(*static_cast<const unsigned long*>(value));
        break;
    case PROPERTY_COLOR_TYPE:
        number = *static_cast<const RawColorType*>(value);
        break;
    case PROPERTY_DEFAULT_ORIENTATION:
        number = *static_cast<const RawPaperOrientation*>(value);
        break;
    case PROPERTY_DEFAULT_PAGE_WIDTH:
    case PROPERTY_DEFAULT_PAGE_HEIGHT:
        number = *static_cast<const int*>(value);
        break;
    case PROPERTY_DEFAULT_PAGE_SIZE:
        break;
    }
    mvecProperties.emplace_back(property, number);
}

// Picks one property's reports.
std::vector<int64_t> RecordingListener::Reports(RawDataJobProperty property) const
{
    std::vector<int64_t> values;
    for (const auto& [reported, value] : mvecProperties) {
        if (reported == property)
            values.push_back(value);
    }
    return values;
}

// Keeps the tail in a DataBuffer between calls, as the handler does.
FeedResult FeedParser(IRawDataParser& parser, std::span<const unsigned char> job, size_t chunkSize)
{
    FeedResult result;
    DataBuffer buffer;
    uint64_t position = 0;
    while (position < job.size()) {
        const size_t length = std::min(chunkSize, job.size() - position);
        const Bytes chunk(job.begin() + position, job.begin() + position + length);
        const uint64_t start = position - buffer.PreBufferLength();
        position += length;
        buffer.SetMainBuffer(chunk.data(), chunk.size());
        result.mintLastResult = parser.ParseData(buffer);
        result.mintConsumed = start + parser.BytesProcessed();
        if (result.mintLastResult < 0 || result.mintLastResult == PARSE_RESULT_SWITCH_LANGUAGE)
            break;
        if (!buffer.CopyFromMainIntoPrebuffer(parser.BytesProcessed())) {
            ADD_FAILURE() << "the parser reported more bytes processed than it was given";
            break;
        }
        result.mintLongestTail = std::max<uint64_t>(result.mintLongestTail, buffer.PreBufferLength());
    }
    return result;
}

// Concatenates the pieces.
Bytes Join(std::initializer_list<std::string_view> pieces)
{
    Bytes bytes;
    for (std::string_view piece : pieces)
        bytes.insert(bytes.end(), piece.begin(), piece.end());
    return bytes;
}

// Cuts the PJL lines in front and the exit language at the end.
Bytes WithoutPjlWrapper(std::span<const unsigned char> job)
{
    const std::string_view text(reinterpret_cast<const char*>(job.data()), job.size());
    const size_t enter = text.find("ENTER LANGUAGE");
    const size_t lineEnd = enter == std::string_view::npos ? std::string_view::npos : text.find('\n', enter);
    const size_t exit = text.rfind(IRawDataParser::mstrUNIVERSAL_EXIT_LANGUAGE);
    if (lineEnd == std::string_view::npos || exit == std::string_view::npos || exit <= lineEnd) {
        ADD_FAILURE() << "no PJL wrapper found";
        return {};
    }
    return Bytes(job.begin() + static_cast<std::ptrdiff_t>(lineEnd + 1), job.begin() + static_cast<std::ptrdiff_t>(exit));
}

}  // namespace ParserTestSupport
