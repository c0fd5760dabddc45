#include "Core/CVClientCommunication/ClientMessage.h"

#include <cstring>

ClientMessage::ClientMessage() : mbytHeader{' ', ' '} {}

ClientMessage::ClientMessage(ClientMessageType::ClientMessageType type,
                             ClientMessageSubType::ClientMessageSubType subType)
    : mbytHeader{type, subType}
{
}

ClientMessage::ClientMessage(const unsigned char* header) : mbytHeader{header[0], header[1]} {}

void ClientMessage::SetSingleNumericParameter(uint32_t value)
{
    mvecContent.resize(sizeof value);
    std::memcpy(mvecContent.data(), &value, sizeof value);
}

uint32_t ClientMessage::GetMessageContentParam1() const
{
    uint32_t value = 0;
    if (mvecContent.size() >= sizeof value)
        std::memcpy(&value, mvecContent.data(), sizeof value);
    return value;
}

const unsigned char* ClientMessage::GetMessageContentParam2() const
{
    return mvecContent.size() > 4 ? mvecContent.data() + 4 : nullptr;
}

size_t ClientMessage::GetMessageContentParam2Length() const
{
    return mvecContent.size() > 4 ? mvecContent.size() - 4 : 0;
}
