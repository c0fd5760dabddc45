#include "Core/CVClientCommunication/SocketPeer.h"

#include "Platform/UserAccount.h"

#include <sys/socket.h>

namespace SocketPeer {

// Reads the kernel's record of the peer's credentials.
std::optional<uid_t> PeerUid(int socket)
{
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return std::nullopt;
    return credentials.uid;
}

// Looks the account up in the password database.
std::optional<uid_t> UidOf(std::string_view userName)
{
    auto account = Platform::LookupUser(userName);
    if (!account)
        return std::nullopt;
    return account->uid;
}

}  // namespace SocketPeer
