#pragma once

#include "Platform/ClientInstanceLock.h"

#include <memory>
#include <string>

namespace CVCoreDataServices {

// Makes this process the user's one client, for as long as the result lives.
// Null when another client of the user runs (or the lock cannot be taken):
// that is logged and told on standard error, and the caller exits, so that
// two clients never serve one user's jobs or submit one stored job twice.
std::unique_ptr<Platform::ClientInstanceLock> ClaimClientInstance(const std::string& jobCacheFolder);

}  // namespace CVCoreDataServices
