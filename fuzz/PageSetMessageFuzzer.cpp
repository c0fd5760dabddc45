// Feeds arbitrary bytes to the page-set message decoder as the content of an
// 'N','P' message: no crash, and what it decodes encodes to a message that
// decodes to the same again.

#include "Core/CVClientCommunication/RawDataJobProperties.h"
#include "fuzz/FuzzWorld.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ClientMessage message(ClientMessageType::Notify, ClientMessageSubType::PageSets);
    message.SetMessageContent(ByteString(data, data + size));
    const RawDataJobProperties decoded(message);
    const ClientMessage encoded = decoded.GetMessage();
    const ClientMessage again = RawDataJobProperties(encoded).GetMessage();
    if (encoded.GetMessageContent() != again.GetMessageContent())
        std::abort();
    return 0;
}
