#include "Core/CVClientCommunication/RawDataJobProperties.h"

#include "CoreLogger/ComponentLog.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <span>

using Log = ComponentLog<LogComponents::CoreRawPrint>;
using MessagingLog = ComponentLog<LogComponents::CoreMessaging>;

namespace {

constexpr size_t NUMBER_LENGTH = sizeof(uint32_t);
constexpr size_t RECORD_LENGTH = RawPrintData::CRawPageSet::WIRE_SIZE;

// Appends a number in host byte order.
void AppendNumber(ByteString& content, uint32_t value)
{
    unsigned char bytes[NUMBER_LENGTH];
    std::memcpy(bytes, &value, NUMBER_LENGTH);
    content.insert(content.end(), bytes, bytes + NUMBER_LENGTH);
}

// Reads the host-order number at an offset the caller has checked.
uint32_t ReadNumber(const ByteString& content, size_t offset)
{
    uint32_t value = 0;
    std::memcpy(&value, content.data() + offset, NUMBER_LENGTH);
    return value;
}

// The length field for a number of records, computed wide so that it cannot wrap.
uint64_t PayloadLength(uint64_t records)
{
    return RawDataJobProperties::FIXED_PART_LENGTH + RECORD_LENGTH * records;
}

}  // namespace

// Takes copies, colour and duplex from a finished handler, and its page sets
// when the parse succeeded.
RawDataJobProperties::RawDataJobProperties(uint32_t jobId, const RawPrintData::CRawDataHandler& handler)
    : mintJobId(jobId)
{
    Log::Debug("Getting job properties...");
    mintCopies = static_cast<uint32_t>(std::min<unsigned long>(handler.GetCopies(), std::numeric_limits<uint32_t>::max()));
    mintColorSpace = static_cast<uint32_t>(handler.GetColorType());
    mblnDuplex = handler.IsDuplex();
    Log::Debug("Copies= %d", mintCopies);
    Log::Debug("ColorType= %d", mintColorSpace);
    Log::Debug("IsDuplex= %d", mblnDuplex ? 1 : 0);
    Log::Debug("TotalPageCount= %d", handler.GetTotalPageCount());
    Log::Debug("PageSetCount= %d", static_cast<int>(handler.GetPageSets().size()));

    if (handler.IsParseSucceeded()) {
        Log::Debug("Parsing seemed to complete successfully.  Grab the pagesets.");
        mvecPageSets = handler.GetPageSets();
    } else {
        Log::Debug("Parsing appears to not have completed successfully.  ");
    }
}

void RawDataJobProperties::SetFallbackCount(std::vector<RawPrintData::CRawPageSet> pageSets, uint64_t atLeast)
{
    constexpr int64_t MAX_PAGES = std::numeric_limits<int32_t>::max();
    int64_t pages = 0;
    for (const RawPrintData::CRawPageSet& pageSet : pageSets)
        pages += static_cast<int64_t>(pageSet.mintMonoPages) + pageSet.mintColorPages;
    const int64_t wanted = std::min<int64_t>(std::max<uint64_t>(atLeast, 1), MAX_PAGES);
    if (pages < wanted) {
        if (pageSets.empty())
            pageSets.emplace_back().SetName("Unknown");
        RawPrintData::CRawPageSet& last = pageSets.back();
        int32_t& count = mintColorSpace == RawPrintData::COLOR_TYPE_MONO ? last.mintMonoPages : last.mintColorPages;
        count = static_cast<int32_t>(std::min<int64_t>(count + (wanted - pages), MAX_PAGES));
    }
    mvecPageSets = std::move(pageSets);
    mblnFallbackCount = true;
}

// Decodes an 'N','P' message; anything else leaves the object empty.
RawDataJobProperties::RawDataJobProperties(const ClientMessage& message)
{
    Log::Debug("MessageType= %d MessageSubType= %d", message.GetType(), message.GetSubType());
    if (!message.Is(ClientMessageType::Notify, ClientMessageSubType::PageSets)) {
        Log::Debug("Incorrect message type to pull Raw data. ");
        return;
    }
    mDecode(message.GetMessageContent());
}

// Reads the five numbers when the length field matches the content, and the
// records when the record count matches it too.
void RawDataJobProperties::mDecode(const ByteString& content)
{
    const uint64_t reported = content.size() >= NUMBER_LENGTH ? ReadNumber(content, 0) : 0;
    const uint64_t actual = content.size() >= NUMBER_LENGTH ? content.size() - NUMBER_LENGTH : 0;
    Log::Debug("MessageType is Notify, SubType is PageSet. reportedSize=%llu actualSize=%llu",
               static_cast<unsigned long long>(reported), static_cast<unsigned long long>(actual));
    if (reported < FIXED_PART_LENGTH || reported != actual) {
        Log::Error("Page-set message refused: length field %llu, %llu bytes follow it.",
                   static_cast<unsigned long long>(reported), static_cast<unsigned long long>(actual));
        return;
    }

    Log::Debug("Reached inner condition.");
    mintJobId = ReadNumber(content, 4);
    mintCopies = ReadNumber(content, 8);
    mintColorSpace = ReadNumber(content, 12);
    mblnDuplex = ReadNumber(content, 16) != 0;
    const uint32_t records = ReadNumber(content, 20);
    Log::Debug("rawpageset= %lu , unint32= %lu", RECORD_LENGTH, NUMBER_LENGTH);

    if (records == 0)
        return;
    if (actual != PayloadLength(records)) {
        Log::Error("Page-set message holds %llu bytes, not %u page sets; page sets ignored.",
                   static_cast<unsigned long long>(actual), records);
        return;
    }
    const std::span<const unsigned char> bytes(content);
    mvecPageSets.reserve(records);
    for (size_t record = 0; record < records; ++record) {
        const size_t offset = NUMBER_LENGTH + FIXED_PART_LENGTH + record * RECORD_LENGTH;
        RawPrintData::CRawPageSet& pageSet =
            mvecPageSets.emplace_back(RawPrintData::CRawPageSet::ReadFrom(bytes.subspan(offset).first<RECORD_LENGTH>()));
        const auto orientation = static_cast<uint32_t>(pageSet.mintOrientation);
        if ((orientation & FALLBACK_COUNT_FLAG) != 0) {
            mblnFallbackCount = true;
            pageSet.mintOrientation = static_cast<RawPrintData::RawPaperOrientation>(orientation & ~FALLBACK_COUNT_FLAG);
        }
    }
}

// Builds the 'N','P' message.
ClientMessage RawDataJobProperties::GetMessage() const
{
    ClientMessage message(ClientMessageType::Notify, ClientMessageSubType::PageSets);

    size_t records = mvecPageSets.size();
    if (PayloadLength(records) > std::numeric_limits<uint32_t>::max()) {
        MessagingLog::Error("Too many page sets for one message (%lu); sending none.", records);
        records = 0;
    }
    const auto length = static_cast<uint32_t>(PayloadLength(records));

    ByteString content;
    content.reserve(NUMBER_LENGTH + length);
    MessagingLog::Debug("intLengthOfMessage: %d", length);
    AppendNumber(content, length);
    MessagingLog::Debug("mintJobId: %d", mintJobId);
    AppendNumber(content, mintJobId);
    MessagingLog::Debug("mintCopies: %d", mintCopies);
    AppendNumber(content, mintCopies);
    MessagingLog::Debug("mintColorSpace: %d", mintColorSpace);
    AppendNumber(content, mintColorSpace);
    MessagingLog::Debug("mblnDuplex: %d", mblnDuplex ? 1 : 0);
    AppendNumber(content, mblnDuplex ? 1 : 0);
    MessagingLog::Debug("mvecPageSets.size(): %d", static_cast<uint32_t>(records));
    AppendNumber(content, static_cast<uint32_t>(records));

    // Each byte is logged once, with the record that completes it (the
    // numbers with the first record); without debug lines, not at all.
    const bool logBytes = Log::DebugEnabled();
    size_t logged = 0;
    for (size_t record = 0; record < records; ++record) {
        const size_t offset = content.size();
        content.resize(offset + RECORD_LENGTH);
        RawPrintData::CRawPageSet pageSet = mvecPageSets[record];
        if (mblnFallbackCount)
            pageSet.mintOrientation = static_cast<RawPrintData::RawPaperOrientation>(
                static_cast<uint32_t>(pageSet.mintOrientation) | FALLBACK_COUNT_FLAG);
        pageSet.WriteTo(std::span<unsigned char>(content).subspan(offset).first<RECORD_LENGTH>());
        for (; logBytes && logged < content.size(); ++logged)
            Log::Debug("[%d] = %x", static_cast<int>(logged), content[logged]);
    }

    message.SetMessageContent(std::move(content));
    return message;
}
