#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The job data that the hook has taken from standard input and must replay to
// the wrapped backend. The first bytes, up to a modest limit, stay in memory;
// everything after them goes to a private temporary file (mode 0600, without
// a name: made with O_TMPFILE, or unlinked at once), which disappears when the
// spool is destroyed. So the hook's memory does not grow with the job, however
// large it is.
class JobDataSpool {
public:
    static constexpr size_t DefaultMemoryLimit = 8u * 1024u * 1024u;

    // folder: where the temporary file is made; empty for $TMPDIR (which
    // cupsd points at its own private spool folder), else /var/tmp.
    explicit JobDataSpool(size_t memoryLimit = DefaultMemoryLimit, std::string folder = std::string());
    ~JobDataSpool();
    JobDataSpool(const JobDataSpool&) = delete;
    JobDataSpool& operator=(const JobDataSpool&) = delete;

    // Keeps the bytes after those already kept. False, with a log line, when
    // they could not be kept; the spool is then failed for good.
    bool Append(std::span<const unsigned char> bytes);

    bool IsEmpty() const { return mintSize == 0; }
    uint64_t GetSize() const { return mintSize; }
    bool HasFailed() const { return mblnFailed; }

    // The bytes kept in memory, which come first.
    std::span<const unsigned char> GetHead() const { return mvecHead; }

    // The file that holds every byte after the head, from its start; -1 while
    // everything fits in memory.
    int GetSpillDescriptor() const { return mintSpill; }

private:
    bool mOpenSpillFile();
    bool mWriteSpill(std::span<const unsigned char> bytes);

    size_t mintMemoryLimit;
    std::string mstrFolder;
    std::vector<unsigned char> mvecHead;
    int mintSpill = -1;
    uint64_t mintSize = 0;
    bool mblnFailed = false;
};
