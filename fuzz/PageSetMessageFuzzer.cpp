// Feeds arbitrary bytes to the page-set message decoder as the content of an
// 'N','P' message: no crash, and page sets come out only from a message whose
// length field and record count both match what it holds.

#include "Core/CVClientCommunication/RawDataJobProperties.h"
#include "fuzz/FuzzWorld.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ClientMessage message(ClientMessageType::Notify, ClientMessageSubType::PageSets);
    message.SetMessageContent(ByteString(data, data + size));
    const RawDataJobProperties decoded(message);
    const size_t records = decoded.GetPageSets().size();
    if (records != 0 &&
        size != 4 + RawDataJobProperties::FIXED_PART_LENGTH + records * RawPrintData::CRawPageSet::WIRE_SIZE)
        std::abort();
    return 0;
}
