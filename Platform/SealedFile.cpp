#include "Platform/SealedFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>

namespace Platform {

namespace {

constexpr int REQUIRED_SEALS = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE;

}  // namespace

int CreateSealableFile(const char* name, std::string& error)
{
    const int descriptor = memfd_create(name, MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (descriptor < 0)
        error = std::strerror(errno);
    return descriptor;
}

bool SealFile(int descriptor, std::string& error)
{
    if (fcntl(descriptor, F_ADD_SEALS, REQUIRED_SEALS | F_SEAL_SEAL) == 0)
        return true;
    error = std::strerror(errno);
    return false;
}

bool IsSealedFile(int descriptor)
{
    const int seals = fcntl(descriptor, F_GET_SEALS);
    return seals >= 0 && (seals & REQUIRED_SEALS) == REQUIRED_SEALS;
}

}  // namespace Platform
