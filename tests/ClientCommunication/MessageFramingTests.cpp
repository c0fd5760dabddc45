#include "Core/CVClientCommunication/ClientCommunicationChannel.h"
#include "Core/CVClientCommunication/Signals.h"
#include "tests/ClientCommunication/SocketTestHelpers.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <future>

namespace {

using namespace SocketTests;
using Type = ClientMessageType::ClientMessageType;
using SubType = ClientMessageSubType::ClientMessageSubType;

ClientMessage Numeric(Type type, SubType subType, uint32_t param)
{
    ClientMessage message(type, subType);
    message.SetSingleNumericParameter(param);
    return message;
}

// An 'N','P' message whose content is its length followed by the payload.
ClientMessage PageSets(const Bytes& payload)
{
    ClientMessage message = Numeric(ClientMessageType::Notify, ClientMessageSubType::PageSets,
                                    static_cast<uint32_t>(payload.size()));
    Bytes content = message.GetMessageContent();
    content.insert(content.end(), payload.begin(), payload.end());
    message.SetMessageContent(content);
    return message;
}

// One channel over end 0 of a socket pair; the test plays the peer on end 1.
class FramingTest : public ::testing::Test {
protected:
    TestSupport::TempRoot root;
    SocketPair pair;
    ClientCommunicationChannel channel{pair.Take(0), "pair"};
    int Peer() const { return pair.Raw(1); }
};

TEST_F(FramingTest, SentMessagesAreExactBytesOnTheWire)
{
    const struct {
        ClientMessage message;
        Bytes wire;
    } cases[] = {
        {Numeric(ClientMessageType::Notify, ClientMessageSubType::NewJob, 42), {0x4E, 0x42, 0x2A, 0x00, 0x00, 0x00}},
        {ClientMessage(ClientMessageType::Request, ClientMessageSubType::JobCompleted), {'R', 'Z'}},
        {ClientMessage(ClientMessageType::Request, ClientMessageSubType::JobCancelled), {'R', 'X'}},
        {ClientMessage(ClientMessageType::Request, ClientMessageSubType::PageSets), {'R', 'P'}},
        {ClientMessage(ClientMessageType::Error, ClientMessageSubType::CommunicationFailure), {'E', 'F'}},
        {PageSets({'a', 0, 'c'}), {'N', 'P', 3, 0, 0, 0, 'a', 0, 'c'}},
        {PageSets({}), {'N', 'P', 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(channel.SendMessage(c.message));
        EXPECT_EQ(ReadAvailable(Peer()), c.wire) << c.wire[0] << c.wire[1];
    }
}

TEST_F(FramingTest, MessagesWhoseContentWouldDesynchroniseThePeerAreNotSent)
{
    ClientMessage requestWithContent(ClientMessageType::Request, ClientMessageSubType::JobCompleted);
    requestWithContent.SetMessageContent({1});
    ClientMessage pageSetsTooShort = PageSets({1, 2, 3});
    pageSetsTooShort.SetMessageContent({5, 0, 0, 0, 1, 2, 3});
    const ClientMessage cases[] = {
        requestWithContent,
        ClientMessage(ClientMessageType::Notify, ClientMessageSubType::NewJob),  // no parameter
        pageSetsTooShort,
    };
    for (const auto& message : cases) {
        EXPECT_FALSE(channel.SendMessage(message));
        EXPECT_TRUE(ReadAvailable(Peer()).empty());
    }
}

TEST_F(FramingTest, ReceivedMessagesConsumeExactlyTheirOwnBytes)
{
    const struct {
        Bytes wire;
        char type, subType;
        Bytes content;
    } cases[] = {
        {{'N', 'B', 0x2A, 0, 0, 0}, 'N', 'B', {0x2A, 0, 0, 0}},
        {{'N', 'P', 0, 0, 0, 0}, 'N', 'P', {0, 0, 0, 0}},
        {{'N', 'P', 2, 0, 0, 0, 'N', 'B'}, 'N', 'P', {2, 0, 0, 0, 'N', 'B'}},
        {{'R', 'P'}, 'R', 'P', {}},
        {{'E', 'N'}, 'E', 'N', {}},
    };
    for (const auto& c : cases) {
        Bytes wire = c.wire;
        wire.insert(wire.end(), {'R', 'Z'});  // the next message must stay unread
        WriteAll(Peer(), wire);
        ClientMessage message = channel.ReceiveMessage();
        EXPECT_EQ(message.GetType(), c.type);
        EXPECT_EQ(message.GetSubType(), c.subType);
        EXPECT_EQ(message.GetMessageContent(), c.content);
        EXPECT_TRUE(channel.ReceiveMessage().Is(ClientMessageType::Request, ClientMessageSubType::JobCompleted));
    }
    WriteAll(Peer(), {'N', 'B', 0x04, 0x03, 0x02, 0x01});
    EXPECT_EQ(channel.ReceiveMessage().GetMessageContentParam1(), 0x01020304u);  // host (little-endian) order
}

TEST_F(FramingTest, PayloadArrivingByteByByteIsReadWhole)
{
    Bytes payload(3000);
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<unsigned char>(i * 7);
    std::thread writer([&] {
        const unsigned char header[] = {'N', 'P', 0xB8, 0x0B, 0, 0};  // 3000
        Bytes wire(std::begin(header), std::end(header));
        wire.resize(sizeof header + payload.size());
        std::copy(payload.begin(), payload.end(), wire.begin() + sizeof header);
        wire.push_back('R');
        wire.push_back('X');
        for (size_t i = 0; i < wire.size(); ++i) {
            WriteAll(Peer(), {wire[i]});
            if (i % 50 == 0)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    ClientMessage message = channel.ReceiveMessage();
    ClientMessage next = channel.ReceiveMessage();
    writer.join();
    ASSERT_TRUE(message.Is(ClientMessageType::Notify, ClientMessageSubType::PageSets));
    EXPECT_EQ(message.GetMessageContentParam1(), 3000u);
    ASSERT_EQ(message.GetMessageContentParam2Length(), 3000u);
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), message.GetMessageContentParam2()));
    EXPECT_TRUE(next.Is(ClientMessageType::Request, ClientMessageSubType::JobCancelled));
}

TEST(FramingFailureTest, PeerClosingInsideAMessageGivesCommunicationFailure)
{
    TestSupport::TempRoot root;
    const Bytes cases[] = {
        {},                                    // before the header
        {'N'},                                 // inside the header
        {'N', 'B', 7, 0},                      // inside the parameter
        {'N', 'P', 10, 0, 0, 0, 1, 2, 3, 4},  // inside the payload
    };
    for (const auto& wire : cases) {
        SocketPair pair;
        ClientCommunicationChannel channel(pair.Take(0), "pair");
        WriteAll(pair.Raw(1), wire);
        pair.Close(1);
        EXPECT_TRUE(channel.ReceiveMessage().Is(ClientMessageType::Error, ClientMessageSubType::CommunicationFailure))
            << wire.size() << " bytes";
    }
}

TEST_F(FramingTest, OversizePayloadLengthIsRefusedWithoutWaitingForIt)
{
    uint32_t length = ClientCommunicationChannel::MaxPayloadLength + 1;
    Bytes wire = {'N', 'P'};
    wire.resize(6);
    std::memcpy(wire.data() + 2, &length, sizeof length);
    WriteAll(Peer(), wire);
    // The peer stays open: a receiver that tried to read the payload would block.
    auto received = std::async(std::launch::async, [&] { return channel.ReceiveMessage(); });
    if (received.wait_for(std::chrono::seconds(2)) != std::future_status::ready) {
        pair.Close(1);
        ADD_FAILURE() << "the receiver waited for an oversize payload";
    }
    EXPECT_TRUE(received.get().Is(ClientMessageType::Error, ClientMessageSubType::CommunicationFailure));
}

TEST_F(FramingTest, ClosedOrMissingConnectionFailsCleanly)
{
    Signals::IgnoreSigPipe();
    pair.Close(1);
    EXPECT_FALSE(channel.SendMessage(PageSets(Bytes(100000, 1))));
    // With SIGPIPE ignored a plain write to the closed peer fails instead of ending the process.
    SocketPair other;
    other.Close(1);
    EXPECT_EQ(write(other.Raw(0), "x", 1), -1);
    EXPECT_EQ(errno, EPIPE);

    ClientCommunicationChannel unconnected(-1, "none");
    EXPECT_FALSE(unconnected.IsConnected());
    EXPECT_FALSE(unconnected.SendMessage(ClientMessage(ClientMessageType::Request, ClientMessageSubType::JobCompleted)));
    EXPECT_TRUE(unconnected.ReceiveMessage().Is(ClientMessageType::Error, ClientMessageSubType::CommunicationFailure));
}

}  // namespace
