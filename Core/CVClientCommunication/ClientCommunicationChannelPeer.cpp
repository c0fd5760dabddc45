#include "Core/CVClientCommunication/ClientCommunicationChannel.h"

#include <cerrno>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>

// Watching a connection for its other end leaving, without reading from it.

namespace {

// How long to wait before looking again when the other end sent bytes that
// nobody reads yet: they keep the socket readable, so poll would not wait.
constexpr int UnreadBytesPauseMs = 100;

// Whether the socket's other end has gone: closed (end of file), shut down,
// or reset. Unread bytes that are still there say nothing.
bool PeerHasLeft(int socket, short events)
{
    if ((events & (POLLHUP | POLLRDHUP | POLLERR)) != 0)
        return true;
    char byte;
    ssize_t peeked = recv(socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return peeked == 0 || (peeked < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

}  // namespace

bool ClientCommunicationChannel::WaitUntilPeerLeaves(int wakeFd)
{
    int socket;
    {
        std::lock_guard lock(mListenLock);
        socket = mintConnectionSocket;
    }
    if (socket == -1)
        return true;
    for (;;) {
        pollfd watched[2] = {{socket, POLLIN | POLLRDHUP, 0}, {wakeFd, POLLIN, 0}};
        if (poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if ((watched[1].revents & POLLIN) != 0)
            return false;
        if (watched[0].revents == 0)
            continue;
        if (PeerHasLeft(socket, watched[0].revents))
            return true;
        pollfd wake{wakeFd, POLLIN, 0};
        if (poll(&wake, 1, UnreadBytesPauseMs) > 0)
            return false;
    }
}
