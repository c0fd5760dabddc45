#pragma once

#include <optional>
#include <string_view>
#include <sys/types.h>

// Who is at the other end of a local socket, and the accounts the socket link
// trusts.
namespace SocketPeer {

// The user id of the process at the other end of a connected Unix-domain
// socket (for a connecting side: of the process that made the listener);
// none when the system cannot tell (errno set).
std::optional<uid_t> PeerUid(int socket);

// The user id of an account name; none when the system has no such user.
std::optional<uid_t> UidOf(std::string_view userName);

}  // namespace SocketPeer
