#pragma once

#include <string>
#include <sys/types.h>

// The checks on a place of a user's socket (Platform/ClientSocket.h says
// where those places are). Nothing here follows a symbolic link.
namespace SocketPlace {

// What lies at a socket path for a given owner.
enum class Found {
    Nothing,      // no file at all
    OwnersSocket, // a socket (not a link) that belongs to the owner
    Refused,      // a link, another kind of file or another user's file
};

// Looks at the path with lstat. A refusal is logged as an error line of the
// given operation ("Connect") when logRefusal is set.
Found Inspect(const std::string& path, uid_t owner, const char* operation, bool logRefusal);

// Makes the place ready for this process's listening socket: a file of this
// process's own user there (a socket left by an earlier run) is removed, and
// a missing folder of the user's own is made (mode 0700). False, with an
// error line, when something of another user holds the path, so that the
// listener goes to the next place.
bool Claim(const std::string& path);

}  // namespace SocketPlace
