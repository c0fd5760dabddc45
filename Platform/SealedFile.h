#pragma once

#include <string>

namespace Platform {

// A file in memory that, once sealed, nobody can change any more: neither
// its writer, nor root, nor a process it was handed to over a socket, nor
// its owner through /proc. It goes with its last descriptor.

// A new empty file that can be sealed; -1 with the reason on failure.
int CreateSealableFile(const char* name, std::string& error);

// Seals a file made above against every change of its bytes and its size.
bool SealFile(int descriptor, std::string& error);

// Whether a descriptor is such a file, sealed.
bool IsSealedFile(int descriptor);

}  // namespace Platform
