#include "hook/JobDataSpool.h"

#include "CoreLogger/ComponentLog.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr auto kComponent = LogComponents::CoreCups;
using Log = ComponentLog<kComponent>;
constexpr const char* kFallbackFolder = "/var/tmp";

// The folder for the temporary file when none was given.
std::string DefaultFolder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && folder[0] == '/' ? std::string(folder) : std::string(kFallbackFolder);
}

}  // namespace

JobDataSpool::JobDataSpool(size_t memoryLimit, std::string folder)
    : mintMemoryLimit(memoryLimit), mstrFolder(folder.empty() ? DefaultFolder() : std::move(folder))
{
}

JobDataSpool::~JobDataSpool()
{
    if (mintSpill >= 0)
        close(mintSpill);
}

bool JobDataSpool::Append(std::span<const unsigned char> bytes)
{
    if (mblnFailed)
        return false;
    // One allocation for the whole head, so growing it never holds two copies.
    if (mvecHead.capacity() == 0)
        mvecHead.reserve(mintMemoryLimit);
    size_t room = mintMemoryLimit - std::min(mintMemoryLimit, mvecHead.size());
    size_t inMemory = std::min(room, bytes.size());
    mvecHead.insert(mvecHead.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(inMemory));
    auto rest = bytes.subspan(inMemory);
    if (!rest.empty() && !mWriteSpill(rest)) {
        mblnFailed = true;
        return false;
    }
    mintSize += bytes.size();
    return true;
}

// Makes the temporary file: nameless where the file system allows it, else
// named for the moment of its creation only.
bool JobDataSpool::mOpenSpillFile()
{
    mintSpill = open(mstrFolder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (mintSpill >= 0)
        return true;
    std::string pattern = mstrFolder + "/.cvkhook.XXXXXX";
    mintSpill = mkostemp(pattern.data(), O_CLOEXEC);
    if (mintSpill >= 0) {
        unlink(pattern.c_str());
        return true;
    }
    Log::Error("Unable to make a temporary file in %s for the job data: %s", mstrFolder, std::strerror(errno));
    return false;
}

// Appends bytes to the temporary file, making it first when needed.
bool JobDataSpool::mWriteSpill(std::span<const unsigned char> bytes)
{
    if (mintSpill < 0 && !mOpenSpillFile())
        return false;
    while (!bytes.empty()) {
        ssize_t written = write(mintSpill, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            Log::Error("Unable to keep the job data in a temporary file: %s", std::strerror(errno));
            return false;
        }
        bytes = bytes.subspan(static_cast<size_t>(written));
    }
    return true;
}
