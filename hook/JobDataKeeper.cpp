#include "hook/JobDataKeeper.h"

JobDataKeeper::JobDataKeeper(JobDataSpool* replay, const std::string& jobOwner, std::string jobId)
    : mReplay(replay), mSecureFiles(jobOwner), mstrJobId(std::move(jobId))
{
}

// A piece the spool cannot keep fails the spool for good; the backend is then
// not run with a job missing a piece (the hook retries the job instead).
void JobDataKeeper::Write(std::span<const unsigned char> piece)
{
    if (mReplay != nullptr)
        mReplay->Append(piece);
    mSecureFiles.WriteParsedData(mstrJobId, piece);
}
