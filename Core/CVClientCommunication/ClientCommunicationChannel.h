#pragma once

#include "Core/CVClientCommunication/ClientMessage.h"
#include "Core/CVClientCommunication/RefusalLogLimit.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <sys/types.h>
#include <vector>

// One end of the per-user Unix-domain socket between the CUPS hook and the
// client. The client listens at the first free place of the user's socket
// (Platform/ClientSocket.h: the runtime folder, else /tmp, else the user's
// own folder) and accepts one connection per job; the hook connects to it.
// Each side checks who is at the other end: the client takes connections only
// from root, as the hook runs (a connection from anyone else could announce
// jobs or hold the client up), and the hook talks only to a socket file of
// the user's whose listener runs as the user. Refused connections are logged
// at a bounded rate, with their count.
//
// A channel owns its sockets and closes them when destroyed. It moves but does
// not copy, so a connection has exactly one owner: the listener hands the
// accepted channel to the job that answers it.
class ClientCommunicationChannel {
public:
    // A received page-set payload longer than this is refused as a read error
    // instead of being allocated; real jobs stay far below it.
    static constexpr uint32_t MaxPayloadLength = 16u * 1024u * 1024u;

    // The channel of a user's socket, neither listening nor connected yet.
    explicit ClientCommunicationChannel(const char* userName);

    // A channel over an already connected socket, which it now owns.
    ClientCommunicationChannel(int connectionSocket, std::string socketPath);

    ClientCommunicationChannel(ClientCommunicationChannel&& other) noexcept;
    ClientCommunicationChannel& operator=(ClientCommunicationChannel&&) = delete;
    ClientCommunicationChannel(const ClientCommunicationChannel&) = delete;
    ClientCommunicationChannel& operator=(const ClientCommunicationChannel&) = delete;
    ~ClientCommunicationChannel();

    bool Listen();
    ClientCommunicationChannel Accept();
    bool Connect();
    void Disconnect();
    void StopListening();
    bool IsConnected() const { return mintConnectionSocket != -1; }

    // Makes every later receive on the connection fail after waiting this
    // long for data (a time-out is a failed receive, 'E','F'); zero waits
    // without limit. False when there is no connection or it cannot be set.
    bool SetReceiveTimeout(std::chrono::milliseconds timeout);

    // Shuts the connection down in both directions without closing it, so
    // that a thread blocked receiving or sending on it returns at once with a
    // failure. Unlike every other operation, it may be called from another
    // thread while the channel's owner uses it.
    void ShutdownConnection();

    // Waits until the other end has closed the connection or gone away
    // (true), or until wakeFd becomes readable (false), reading nothing from
    // the connection; meant for a time when nobody receives on it. Bytes
    // that arrive meanwhile are left for the next receive.
    // (ClientCommunicationChannelPeer.cpp)
    bool WaitUntilPeerLeaves(int wakeFd);

    bool SendMessage(const ClientMessage& message);
    // The same with an open file descriptor passed along with the message's
    // first byte (SCM_RIGHTS). A receiver that does not take descriptors
    // reads the message as ever, and the kernel closes the one it carried.
    bool SendMessage(const ClientMessage& message, int descriptor);
    ClientMessage ReceiveMessage();
    // The descriptor that came with a received message, once, for the caller
    // to close; -1 when none came. A later one replaces (and closes) it.
    int TakeReceivedDescriptor();

    const std::string& GetSocketPath() const { return mstrSocketPath; }

private:
    bool mHasUsableUserName(const char* operation) const;
    bool mFitsAddress(const std::string& path, const char* operation) const;
    int mListenAt(const std::string& path) const;
    int mConnectTo(const std::string& path, int& error) const;
    bool mIsAllowedHook(int socket);
    bool mIsExpectedListener(int socket, uid_t owner, const std::string& path) const;
    bool mReceiveNotifyContent(ClientMessage& message);
    bool mSendAll(std::span<const unsigned char> bytes, bool logChunks, int descriptor = -1);
    bool mReadPart(std::span<unsigned char> buffer, size_t chunkLimit, bool logReads, const char* closedLine,
                   const char* failedFormat);
    void mKeepReceivedDescriptor(int descriptor);
    void mFinishAcceptNoLock();

    // Guards the listening socket and the flags below, and the replacement of
    // the connection socket against ShutdownConnection.
    std::mutex mListenLock;
    int mintListenSocket = -1;
    int mintConnectionSocket = -1;
    int mintReceivedDescriptor = -1;  // came with a received message, not taken yet
    std::string mstrUserName;
    std::string mstrSocketPath;               // the place listened at or connected to
    std::vector<std::string> mvecSocketPaths;  // the user's places, in order
    bool mblnListening = false;
    bool mblnAccepting = false;         // a thread is inside Accept with the listening socket
    bool mblnCloseAfterAccept = false;  // StopListening left the close to that thread
    RefusalLogLimit mRefusals;          // used by the accepting thread only
};
