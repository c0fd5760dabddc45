#pragma once

#include "Core/CVModels/LocalFiles/SecureFileHandler.h"
#include "hook/JobDataSpool.h"

#include <span>
#include <string>

// The stage that keeps every piece of a job's data the hook has read: for the
// replay to the wrapped backend when the data came on standard input (a job
// file the backend reads itself), and in the debug dump of the parsed data.
class JobDataKeeper {
public:
    // replay: where standard input's bytes are kept, or null for a job file.
    JobDataKeeper(JobDataSpool* replay, const std::string& jobOwner, std::string jobId);

    void Write(std::span<const unsigned char> piece);

private:
    JobDataSpool* mReplay;
    SecureFileHandler mSecureFiles;
    std::string mstrJobId;
};
