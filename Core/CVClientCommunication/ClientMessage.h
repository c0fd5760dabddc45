#pragma once

#include "Core/CVClientCommunication/ClientMessageType.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

using ByteString = std::vector<unsigned char>;

// One message of the hook-client protocol: two header letters and a content
// of bytes. For 'N' messages the content starts with the 4-byte parameter.
class ClientMessage {
public:
    static constexpr size_t HeaderLength = 2;

    ClientMessage();
    ClientMessage(ClientMessageType::ClientMessageType type, ClientMessageSubType::ClientMessageSubType subType);
    explicit ClientMessage(const unsigned char* header);

    unsigned char GetType() const { return mbytHeader[0]; }
    unsigned char GetSubType() const { return mbytHeader[1]; }
    const unsigned char* GetMessageHeader() const { return mbytHeader.data(); }

    const ByteString& GetMessageContent() const { return mvecContent; }
    void SetMessageContent(ByteString content) { mvecContent = std::move(content); }

    // Makes the content exactly one host-order 32-bit number.
    void SetSingleNumericParameter(uint32_t value);

    // The first four content bytes as a host-order number; 0 when shorter.
    uint32_t GetMessageContentParam1() const;

    // The bytes after the first four; null and 0 when there are none.
    const unsigned char* GetMessageContentParam2() const;
    size_t GetMessageContentParam2Length() const;

    bool Is(ClientMessageType::ClientMessageType type, ClientMessageSubType::ClientMessageSubType subType) const
    {
        return GetType() == type && GetSubType() == subType;
    }

private:
    std::array<unsigned char, HeaderLength> mbytHeader;
    ByteString mvecContent;
};
