#include "Core/CVClientCommunication/ClientCommunicationChannel.h"

#include "Core/CVClientCommunication/SocketPeer.h"
#include "Core/CVClientCommunication/SocketPlace.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"
#include "Platform/ClientSocket.h"
#include "Platform/UserAccount.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr LogComponents Component = LogComponents::CoreMessaging;
constexpr int ListenBacklog = 100;
constexpr size_t PathBound = 104;          // the socket path must fit this, terminator included
constexpr size_t PayloadReadChunk = 1024;  // the most one read of a payload asks for
constexpr size_t ParamLength = 4;

using Log = ComponentLog<Component>;

// Fills a Unix-domain address for a path already known to fit.
socklen_t MakeAddress(const std::string& path, sockaddr_un& address)
{
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
}

// Whether a failed accept leaves the listening socket usable, so the listener
// should go on rather than end.
bool IsTransientAcceptError(int error)
{
    switch (error) {
    case EINTR:
    case EAGAIN:
    case ECONNABORTED:
    case EPROTO:
    case EPERM:
    case EMFILE:
    case ENFILE:
    case ENOBUFS:
    case ENOMEM:
        return true;
    default:
        return false;
    }
}

// Whether a failed accept was for want of descriptors or memory, which only
// time (other jobs ending) can free.
bool IsResourceShortage(int error)
{
    return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}

// Whether a message's content is exactly what its receiver will read after
// the header, so that a sender can never put the stream out of step.
bool ContentFitsWireFormat(const ClientMessage& message)
{
    size_t size = message.GetMessageContent().size();
    if (message.GetType() != ClientMessageType::Notify)
        return size == 0;
    if (message.GetSubType() != ClientMessageSubType::PageSets)
        return size == ParamLength;
    return size >= ParamLength && size - ParamLength == message.GetMessageContentParam1();
}

ClientMessage CommunicationFailure()
{
    return ClientMessage(ClientMessageType::Error, ClientMessageSubType::CommunicationFailure);
}

}  // namespace

// The places come from the password database: a name it does not know has
// none, and no socket is made or looked for.
ClientCommunicationChannel::ClientCommunicationChannel(const char* userName)
    : mstrUserName(userName != nullptr ? userName : "")
{
    auto account = mstrUserName.find('/') == std::string::npos ? Platform::LookupUser(mstrUserName) : std::nullopt;
    if (account)
        mvecSocketPaths = Platform::ClientSocketPaths(*account);
    if (!mvecSocketPaths.empty())
        mstrSocketPath = mvecSocketPaths.front();
    Log::Debug("socket: %s", mstrSocketPath);
}

ClientCommunicationChannel::ClientCommunicationChannel(int connectionSocket, std::string socketPath)
    : mintConnectionSocket(connectionSocket), mstrSocketPath(std::move(socketPath))
{
}

ClientCommunicationChannel::ClientCommunicationChannel(ClientCommunicationChannel&& other) noexcept
{
    std::lock_guard lock(other.mListenLock);
    mintListenSocket = std::exchange(other.mintListenSocket, -1);
    mintConnectionSocket = std::exchange(other.mintConnectionSocket, -1);
    mintReceivedDescriptor = std::exchange(other.mintReceivedDescriptor, -1);
    mstrUserName = std::move(other.mstrUserName);
    mstrSocketPath = std::move(other.mstrSocketPath);
    mvecSocketPaths = std::move(other.mvecSocketPaths);
    mblnListening = std::exchange(other.mblnListening, false);
}

ClientCommunicationChannel::~ClientCommunicationChannel()
{
    mKeepReceivedDescriptor(-1);
    Disconnect();
    StopListening();
    if (uint64_t heldBack = mRefusals.Flush(); heldBack > 0)
        Log::Error("ClientCommunicationChannel::Accept - %llu more connections were refused.",
                   static_cast<unsigned long long>(heldBack));
}

// Refuses user names that could lead a socket path elsewhere, and users that
// the password database does not know.
bool ClientCommunicationChannel::mHasUsableUserName(const char* operation) const
{
    if (mstrUserName.empty() || mstrUserName.find('/') != std::string::npos || mvecSocketPaths.empty()) {
        Log::Error("ClientCommunicationChannel::%s - invalid user name for the socket: '%s'", operation, mstrUserName);
        return false;
    }
    return true;
}

// Whether a socket address can hold the path whole.
bool ClientCommunicationChannel::mFitsAddress(const std::string& path, const char* operation) const
{
    if (path.size() < PathBound)
        return true;
    Log::Error("ClientCommunicationChannel::%s - socket path too long: %s", operation, path);
    return false;
}

// Listens at the first of the user's places that holds nothing of another
// user (Platform/ClientSocket.h). The socket file is open to every local user
// (the hook runs as another user); who may connect is checked per connection.
bool ClientCommunicationChannel::Listen()
{
    Log::Debug("ClientCommunicationChannel::Listen - attempt to listen on socket: %s", mstrSocketPath);
    if (!mHasUsableUserName("Listen"))
        return false;
    {
        std::lock_guard lock(mListenLock);
        if (mintListenSocket != -1)
            return mblnListening;
    }
    for (const std::string& path : mvecSocketPaths) {
        int listenSocket = mListenAt(path);
        if (listenSocket == -1)
            continue;
        std::lock_guard lock(mListenLock);
        mstrSocketPath = path;
        mintListenSocket = listenSocket;
        mblnListening = true;
        mblnCloseAfterAccept = false;
        return true;
    }
    return false;
}

// A listening socket at one place, or -1 (logged).
int ClientCommunicationChannel::mListenAt(const std::string& path) const
{
    if (!mFitsAddress(path, "Listen") || !SocketPlace::Claim(path))
        return -1;
    int listenSocket = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenSocket == -1) {
        Log::Error("ClientCommunicationChannel::Listen - Unable to create socket.  Error: %s", strerror(errno));
        return -1;
    }
    sockaddr_un address;
    socklen_t length = MakeAddress(path, address);
    // A name taken between the claim and here fails with EADDRINUSE.
    if (bind(listenSocket, reinterpret_cast<const sockaddr*>(&address), length) == -1) {
        Log::Error("ClientCommunicationChannel::Listen - Unable to bind socket.  Error: %s", strerror(errno));
        close(listenSocket);
        return -1;
    }
    // chmod after bind rather than a umask around it: the umask is the whole
    // process's and other threads create files meanwhile.
    if (chmod(path.c_str(), 0777) == -1) {
        Log::Error("ClientCommunicationChannel::Listen - Unable to open socket to other users.  Error: %s", strerror(errno));
        close(listenSocket);
        unlink(path.c_str());
        return -1;
    }
    if (listen(listenSocket, ListenBacklog) == -1) {
        Log::Error("ClientCommunicationChannel::Listen - Unable to listen on socket.  Error: %s", strerror(errno));
        close(listenSocket);
        unlink(path.c_str());
        return -1;
    }
    return listenSocket;
}

// Ends an Accept; closes the listening socket when StopListening came
// meanwhile and left that to this thread. Expects mListenLock held.
void ClientCommunicationChannel::mFinishAcceptNoLock()
{
    mblnAccepting = false;
    if (mblnCloseAfterAccept) {
        close(mintListenSocket);
        mintListenSocket = -1;
        mblnCloseAfterAccept = false;
    }
}

// Waits for the next connection from an allowed peer. Refused peers and
// passing failures are logged and waited past; the result is not connected
// only when listening ended or failed for good.
ClientCommunicationChannel ClientCommunicationChannel::Accept()
{
    int listenSocket = -1;
    {
        std::lock_guard lock(mListenLock);
        if (mintListenSocket == -1) {
            Log::Error("ClientCommunicationChannel::Accept - socket not listening.");
            return ClientCommunicationChannel(-1, mstrSocketPath);
        }
        // From here StopListening leaves the close to this thread, so the
        // descriptor cannot be reused under a blocked accept.
        listenSocket = mintListenSocket;
        mblnAccepting = true;
    }
    for (;;) {
        int connection = accept4(listenSocket, nullptr, nullptr, SOCK_CLOEXEC);
        int error = errno;
        bool listening;
        {
            std::lock_guard lock(mListenLock);
            listening = mblnListening;
        }
        if (connection != -1) {
            if (!mIsAllowedHook(connection)) {
                close(connection);
                continue;
            }
            if (!listening)
                Log::Debug("ClientCommunicationChannel::Accept - Communication was shutdown.");
            std::lock_guard lock(mListenLock);
            mFinishAcceptNoLock();
            return ClientCommunicationChannel(connection, mstrSocketPath);
        }
        if (!listening) {
            Log::Debug("ClientCommunicationChannel::Accept - Communication was shutdown.");
            break;
        }
        if (error == EINTR)
            continue;
        Log::Error("ClientCommunicationChannel::Accept - accept failed. Error: %s", strerror(error));
        if (!IsTransientAcceptError(error))
            break;
        if (IsResourceShortage(error))
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::lock_guard lock(mListenLock);
    mFinishAcceptNoLock();
    return ClientCommunicationChannel(-1, mstrSocketPath);
}

// Whether the process at the other end of an accepted connection may hand
// jobs to this user's client: only root, as the hook runs. Not the user
// itself: a job the user announced to their own client would print
// unaccounted.
bool ClientCommunicationChannel::mIsAllowedHook(int socket)
{
    auto uid = SocketPeer::PeerUid(socket);
    if (uid && *uid == 0)
        return true;
    int error = errno;
    std::optional<uint64_t> count = mRefusals.Refused(std::chrono::steady_clock::now());
    if (!count)
        return false;
    if (!uid)
        Log::Error("ClientCommunicationChannel::Accept - unable to read the peer's credentials. Error: %s "
                   "(%llu connections refused since the last such line).",
                   strerror(error), static_cast<unsigned long long>(*count));
    else
        Log::Error("ClientCommunicationChannel::Accept - refused connection from uid %u: only root may connect "
                   "(%llu connections refused since the last such line).",
                   static_cast<unsigned>(*uid), static_cast<unsigned long long>(*count));
    return false;
}

// Whether the process that listens at the other end of a connection runs as
// the user whose client it claims to be. Only root's own client serves root.
bool ClientCommunicationChannel::mIsExpectedListener(int socket, uid_t owner, const std::string& path) const
{
    auto uid = SocketPeer::PeerUid(socket);
    if (!uid) {
        Log::Error("ClientCommunicationChannel::Connect - unable to read the listener's credentials. Error: %s",
              strerror(errno));
        return false;
    }
    if (*uid == owner)
        return true;
    Log::Error("ClientCommunicationChannel::Connect - refused socket %s: its listener runs as uid %u, not as %s.",
          path, static_cast<unsigned>(*uid), mstrUserName);
    return false;
}

// Connects to the user's client at the first of the user's places that holds
// the user's own socket and whose listener runs as the user; the checks of
// the file are repeated on the connection itself, so no link or file swapped
// in between can lead the job elsewhere. True when already connected.
bool ClientCommunicationChannel::Connect()
{
    if (mintConnectionSocket != -1)
        return true;
    if (!mHasUsableUserName("Connect"))
        return false;
    auto owner = SocketPeer::UidOf(mstrUserName);
    int lastError = ENOENT;
    for (const std::string& path : mvecSocketPaths) {
        if (!owner || !mFitsAddress(path, "Connect")
            || SocketPlace::Inspect(path, *owner, "Connect", true) != SocketPlace::Found::OwnersSocket)
            continue;
        int connection = mConnectTo(path, lastError);
        if (connection == -1)
            continue;
        if (!mIsExpectedListener(connection, *owner, path)) {
            close(connection);
            continue;
        }
        mstrSocketPath = path;
        mintConnectionSocket = connection;
        return true;
    }
    Log::Error("ClientCommunicationChannel::Connect - Connection failed. Error: %s", strerror(lastError));
    return false;
}

// A socket connected to the path, or -1 with the reason in error.
int ClientCommunicationChannel::mConnectTo(const std::string& path, int& error) const
{
    int connection = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connection == -1) {
        error = errno;
        Log::Error("ClientCommunicationChannel::Connect - Unable to create socket. Error: %s", strerror(errno));
        return -1;
    }
    Log::Debug("ClientCommunicationChannel::Connect - connecting to socket %s", path);
    sockaddr_un address;
    socklen_t length = MakeAddress(path, address);
    int result;
    do {
        result = connect(connection, reinterpret_cast<const sockaddr*>(&address), length);
    } while (result == -1 && errno == EINTR);
    // A connect interrupted and repeated may find itself already done.
    if (result == -1 && errno != EISCONN) {
        error = errno;
        close(connection);
        return -1;
    }
    return connection;
}

// Closes the connection, if any.
void ClientCommunicationChannel::Disconnect()
{
    DebugScope scope(Component, "ClientCommunicationChannel::Disconnect");
    int connection;
    {
        // Taken under the lock so that ShutdownConnection never meets a
        // descriptor that is being closed (and may be reused).
        std::lock_guard lock(mListenLock);
        connection = std::exchange(mintConnectionSocket, -1);
        if (connection != -1)
            mblnListening = false;
    }
    if (connection != -1)
        close(connection);
}

// Sets SO_RCVTIMEO on the connection; recv then fails with EAGAIN.
bool ClientCommunicationChannel::SetReceiveTimeout(std::chrono::milliseconds timeout)
{
    if (mintConnectionSocket == -1)
        return false;
    auto micros = std::chrono::duration_cast<std::chrono::microseconds>(std::max(timeout, decltype(timeout)::zero()));
    timeval limit{};
    limit.tv_sec = static_cast<time_t>(micros.count() / 1000000);
    limit.tv_usec = static_cast<suseconds_t>(micros.count() % 1000000);
    if (setsockopt(mintConnectionSocket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit) == -1) {
        Log::Error("ClientCommunicationChannel::SetReceiveTimeout - unable to set the time-out.  Error: %s", strerror(errno));
        return false;
    }
    return true;
}

// Wakes the connection's owner out of a blocked recv or send: both then fail
// (a receive sees the end of the stream) and the peer sees the connection end.
void ClientCommunicationChannel::ShutdownConnection()
{
    std::lock_guard lock(mListenLock);
    if (mintConnectionSocket != -1)
        shutdown(mintConnectionSocket, SHUT_RDWR);
}

// Stops listening and removes the socket file; wakes a thread blocked in
// Accept, which then closes the listening socket itself.
void ClientCommunicationChannel::StopListening()
{
    DebugScope scope(Component, "ClientCommunicationChannel::StopListening");
    {
        std::lock_guard lock(mListenLock);
        if (mintListenSocket != -1 && !mblnCloseAfterAccept) {
            mblnListening = false;
            // Closing alone does not wake a blocked accept on Linux; shutting
            // the socket down does.
            shutdown(mintListenSocket, SHUT_RDWR);
            unlink(mstrSocketPath.c_str());
            if (mblnAccepting) {
                mblnCloseAfterAccept = true;
            } else {
                close(mintListenSocket);
                mintListenSocket = -1;
            }
        }
    }
}

// Writes all bytes, retrying interrupted and partial sends; a descriptor
// given goes with the first byte.
bool ClientCommunicationChannel::mSendAll(std::span<const unsigned char> bytes, bool logChunks, int descriptor)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        if (logChunks)
            Log::Debug("Sending Message...");
        iovec part{const_cast<unsigned char*>(bytes.data() + sent), bytes.size() - sent};
        msghdr header{};
        header.msg_iov = &part;
        header.msg_iovlen = 1;
        alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(int))] = {};
        if (descriptor >= 0 && sent == 0) {
            header.msg_control = control;
            header.msg_controllen = sizeof control;
            cmsghdr* rights = CMSG_FIRSTHDR(&header);
            rights->cmsg_level = SOL_SOCKET;
            rights->cmsg_type = SCM_RIGHTS;
            rights->cmsg_len = CMSG_LEN(sizeof(int));
            std::memcpy(CMSG_DATA(rights), &descriptor, sizeof(int));
        }
        ssize_t count = sendmsg(mintConnectionSocket, &header, MSG_NOSIGNAL);
        if (count == -1) {
            if (errno == EINTR)
                continue;
            Log::Error("ClientCommunicationChannel::SendMessage - error during send: %s", strerror(errno));
            return false;
        }
        if (logChunks)
            Log::Debug("   Sent: %d bytes", static_cast<int>(count));
        sent += static_cast<size_t>(count);
    }
    return true;
}

bool ClientCommunicationChannel::SendMessage(const ClientMessage& message)
{
    return SendMessage(message, -1);
}

// Sends one message: the header (with the descriptor, if any), then the
// content whole.
bool ClientCommunicationChannel::SendMessage(const ClientMessage& message, int descriptor)
{
    Log::Debug("ClientCommunicationChannel::SendMessage - sending message %c %c", message.GetType(), message.GetSubType());
    if (mintConnectionSocket == -1) {
        Log::Error("ClientCommunicationChannel::SendMessage - unable to send (_clientEnvironment not open).");
        return false;
    }
    const ByteString& content = message.GetMessageContent();
    if (!ContentFitsWireFormat(message)) {
        Log::Error("ClientCommunicationChannel::SendMessage - a content of %lu bytes does not fit message %c %c.",
              static_cast<unsigned long>(content.size()), message.GetType(), message.GetSubType());
        return false;
    }
    if (!mSendAll(std::span(message.GetMessageHeader(), ClientMessage::HeaderLength), false, descriptor))
        return false;
    Log::Debug("Message Size: %d", static_cast<int>(content.size()));
    if (content.empty())
        return true;
    if (!mSendAll(content, true))
        return false;
    Log::Debug("Sent count total: %d", static_cast<int>(content.size()));
    return true;
}

// Reads one message; every failure or a closed peer gives 'E','F'.
ClientMessage ClientCommunicationChannel::ReceiveMessage()
{
    if (mintConnectionSocket == -1) {
        Log::Error("ClientCommunicationChannel::ReceiveMessage - error communication socket not defined.");
        return CommunicationFailure();
    }
    Log::Debug("ClientCommunicationChannel::ReceiveMessage - Header length= %d", static_cast<int>(ClientMessage::HeaderLength));
    Log::Debug("ClientCommunicationChannel::ReceiveMessage - Socket= %d", mintConnectionSocket);
    Log::Debug("ClientCommunicationChannel::ReceiveMessage - SocketName= %s", mstrSocketPath);

    unsigned char header[ClientMessage::HeaderLength];
    if (!mReadPart(header, ClientMessage::HeaderLength, true,
                  "ClientCommunicationChannel::ReceiveMessage -Header. the _clientEnvironment was closed by the other party.",
                  "ClientCommunicationChannel::ReceiveMessage - error receiving header: %s"))
        return CommunicationFailure();
    ClientMessage message(header);
    if (message.GetType() == ClientMessageType::Notify && !mReceiveNotifyContent(message))
        return CommunicationFailure();
    Log::Debug("ClientCommunicationChannel::ReceiveMessage - received message %c %c", message.GetType(), message.GetSubType());
    return message;
}

// Reads the parameter of an 'N' message and, for page sets, the payload it
// announces; false (logged) on a read error, a closed peer or a length
// beyond the limit.
bool ClientCommunicationChannel::mReceiveNotifyContent(ClientMessage& message)
{
    Log::Debug("%s - Have notification message", "ReceiveMessage");
    ByteString content(ParamLength);
    if (!mReadPart(content, ParamLength, false,
                  "ClientCommunicationChannel::ReceiveMessage -Notify. the _clientEnvironment was closed by the other party.",
                  "ClientCommunicationChannel::ReceiveMessage - error receiving message param1.  Error: %s"))
        return false;
    if (message.GetSubType() == ClientMessageSubType::PageSets) {
        uint32_t length = 0;
        std::memcpy(&length, content.data(), sizeof length);
        if (length > MaxPayloadLength) {
            Log::Error("ClientCommunicationChannel::ReceiveMessage - page-set length %u exceeds the limit of %u bytes.",
                  static_cast<unsigned>(length), static_cast<unsigned>(MaxPayloadLength));
            return false;
        }
        content.resize(ParamLength + length);
        if (!mReadPart(std::span(content).subspan(ParamLength), PayloadReadChunk, false,
                      "ClientCommunicationChannel::ReceiveMessage -PageSets. the _clientEnvironment was closed by the other party.",
                      "ClientCommunicationChannel::ReceiveMessage - error receiving message param2.  Error: %s"))
            return false;
    }
    message.SetMessageContent(std::move(content));
    return true;
}

// Reads exactly the buffer's size, in reads of at most chunkLimit bytes,
// retrying interrupted reads, and keeps a descriptor that comes along. A peer
// that closes or a read error is logged with the given line (the error's
// text fills failedFormat) and gives false.
bool ClientCommunicationChannel::mReadPart(std::span<unsigned char> buffer, size_t chunkLimit, bool logReads,
                                           const char* closedLine, const char* failedFormat)
{
    size_t total = 0;
    while (total < buffer.size()) {
        iovec part{buffer.data() + total, std::min(buffer.size() - total, chunkLimit)};
        alignas(cmsghdr) unsigned char control[CMSG_SPACE(4 * sizeof(int))];
        msghdr header{};
        header.msg_iov = &part;
        header.msg_iovlen = 1;
        header.msg_control = control;
        header.msg_controllen = sizeof control;
        ssize_t count = recvmsg(mintConnectionSocket, &header, MSG_CMSG_CLOEXEC);
        if (count == -1 && errno == EINTR)
            continue;
        if (count == -1) {
            // A receive time-out (SetReceiveTimeout) fails with EAGAIN.
            bool timedOut = errno == EAGAIN || errno == EWOULDBLOCK;
            Log::Error(failedFormat, timedOut ? "timed out waiting for the other party" : strerror(errno));
            return false;
        }
        for (cmsghdr* item = CMSG_FIRSTHDR(&header); item != nullptr; item = CMSG_NXTHDR(&header, item)) {
            if (item->cmsg_level != SOL_SOCKET || item->cmsg_type != SCM_RIGHTS)
                continue;
            const size_t descriptors = (item->cmsg_len - CMSG_LEN(0)) / sizeof(int);
            for (size_t index = 0; index < descriptors; ++index) {
                int descriptor = -1;
                std::memcpy(&descriptor, CMSG_DATA(item) + index * sizeof(int), sizeof(int));
                mKeepReceivedDescriptor(descriptor);
            }
        }
        if (count == 0) {
            Log::Error("%s", closedLine);
            return false;
        }
        total += static_cast<size_t>(count);
        if (logReads) {
            Log::Debug("ClientCommunicationChannel::ReceiveMessage - bytesRead= %ld", static_cast<long>(count));
            Log::Debug("Total bytes read: %d", static_cast<int>(total));
        }
    }
    return true;
}

// Keeps the last descriptor received; the one it replaces is closed.
void ClientCommunicationChannel::mKeepReceivedDescriptor(int descriptor)
{
    if (mintReceivedDescriptor >= 0)
        close(mintReceivedDescriptor);
    mintReceivedDescriptor = descriptor;
}

int ClientCommunicationChannel::TakeReceivedDescriptor()
{
    return std::exchange(mintReceivedDescriptor, -1);
}
