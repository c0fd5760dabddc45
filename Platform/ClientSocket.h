#pragma once

#include "Platform/UserAccount.h"

#include <optional>
#include <string>
#include <vector>

namespace Platform {

// Where a user's client listens for the CUPS hook: the one table both sides
// read, so that they always agree. The socket is named "cvkclient.<user>".
//
// The places, in the order the client claims them and the hook looks:
// - the user's runtime folder "/run/user/<uid>" alone, when it is a real
//   folder of the user's that no one else may enter (logind makes it with
//   mode 0700): only the user can create anything in it;
// - otherwise "/tmp/cvkclient.<user>" and then the user's data folder
//   ("~/.local/share/quorvel" of the password database's home): /tmp is open
//   to every user, so another user may have taken the name first, and the
//   client then listens in its own folder instead.
// Every path hangs from the movable filesystem root, the runtime folder too.
//
// A place only says where to look. The client never listens at a path that
// something of another user holds, and the hook talks only to a socket that
// is no link, belongs to the user and whose listening process runs as the
// user (checked on the connection itself).

// The socket's file name for a user.
std::string ClientSocketName(const UserAccount& user);

// The user's runtime folder under the root, when it exists as a folder (not
// a link) owned by the user and closed to group and others.
std::optional<std::string> RuntimeFolder(const UserAccount& user);

// The places above that apply to the user, in order.
std::vector<std::string> ClientSocketPaths(const UserAccount& user);

}  // namespace Platform
