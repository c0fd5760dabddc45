#include "Core/Services/ClientInstance.h"

#include "CoreLogger/ComponentLog.h"

#include <cstdio>

namespace CVCoreDataServices {

std::unique_ptr<Platform::ClientInstanceLock> ClaimClientInstance(const std::string& jobCacheFolder)
{
    std::string holder;
    std::unique_ptr<Platform::ClientInstanceLock> lock = Platform::ClientInstanceLock::Acquire(jobCacheFolder, holder);
    if (lock)
        return lock;
    std::string reason = stringFormat("Another Quorvel Client of this user is running (%s); this one exits.", holder);
    ComponentLog<LogComponents::CoreClientCommunication>::Error("%s", reason);
    std::fprintf(stderr, "%s\n", reason.c_str());
    return nullptr;
}

}  // namespace CVCoreDataServices
