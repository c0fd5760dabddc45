#pragma once

#include "Core/CVClientCommunication/ClientCommunicationChannel.h"
#include "Core/CVClientCommunication/ClientMessage.h"
#include "hook/JobDataSpool.h"
#include "hook/PageSetParser.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The whole handling of one job by the CUPS backend hook: it finds the queue's
// own backend in the hidden folder ".cvkbackend" beside the backend folder,
// copies the CUPS spool file for secure release, hands the job to its owner's
// client over the owner's socket, parses the job data when the client asks for
// page sets, and then runs the wrapped backend with the job data or cancels the
// job, as the client answers. Without a client the job is passed straight to
// the wrapped backend, as if the queue were not tracked. Its exit statuses are
// CUPS's (<cups/backend.h>), and it tells the scheduler on standard error why
// a job waits, prints untracked, is cancelled or retried.
class CupsBackendHook {
public:
    // The pieces in which job data is read.
    static constexpr size_t ReadPieceSize = 65536;
    // A larger cached settings file of the owner's is not read.
    static constexpr size_t CachedSettingsLimit = 1024 * 1024;

    // arguments: as CUPS gave them to the backend; cacheFolder: passed on
    // from the program's start-up. Finds the wrapped backend.
    CupsBackendHook(int argumentCount, char* const arguments[], const char* cacheFolder);
    ~CupsBackendHook();
    CupsBackendHook(const CupsBackendHook&) = delete;
    CupsBackendHook& operator=(const CupsBackendHook&) = delete;

    // Runs the job; the result is the program's exit status.
    int Process();

    // Acts on one reply of the client; true means: send the next request and
    // read another reply.
    bool HandleResponse(const ClientMessage& reply, ClientMessage& nextRequest);

    // Reads and parses the job data and puts the page-set message into the
    // next request. Always true.
    bool ParsePageSets(ClientMessage& nextRequest);

    // Whether the wrapped backend must be fed through a pipe: the job came on
    // standard input and the hook has already taken some of it.
    bool NeedPipes() const;

    // Passes the job through to the wrapped backend; its exit status.
    int HandleClientNotRunning() const;

private:
    const char* mArgument(int index) const;
    uint32_t mJobId() const;
    void mCopyForSecureRelease();
    void mExchangeWithClient();
    bool mCancel(std::string_view reason);
    bool mReadAndParse(PageSetParser& parser);
    uint32_t mCopiesMadeByBackend() const;
    int mRunBackend();
    std::string mBackendPath() const;
    void mLoadCachedSettings() const;

    int mintArgumentCount;
    char* const* mArguments;
    int mintExitCode = 0;
    std::string mstrBackendPath;
    std::string mstrPlacePath;  // the backend folder's entry of the same name
    std::unique_ptr<ClientCommunicationChannel> mChannel;
    std::string mstrCacheFolder;
    JobDataSpool mJobData;
    // The job's data sealed in memory when the copy was made, handed to the
    // client with the page data: what it uploads for secure release.
    int mintSealedCopy = -1;
};
