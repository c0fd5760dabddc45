#include "hook/CupsBackendHook.h"

#include "Common/StringFormat.h"
#include "Core/CVClientCommunication/RawDataJobProperties.h"
#include "Core/CVClientCommunication/Signals.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/LocalFiles/SecureFileHandler.h"
#include "Core/ProcessUtil/ProcessUtil.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"
#include "CoreLogger/Logger.h"
#include "Platform/UserAccount.h"
#include "Platform/UserFile.h"
#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "hook/HookTimings.h"
#include "hook/JobDataSource.h"
#include "hook/TerminationHandler.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <string_view>
#include <vector>

using CVClientData::ProcessUtil;

namespace {

constexpr auto kComponent = LogComponents::CoreCups;
using Log = ComponentLog<kComponent>;

// The two header letters of a message as text.
std::string HeaderText(const ClientMessage& message)
{
    return std::string(reinterpret_cast<const char*>(message.GetMessageHeader()), ClientMessage::HeaderLength);
}

// A message's content as text, for the log.
std::string ContentText(const ClientMessage& message)
{
    const ByteString& content = message.GetMessageContent();
    return std::string(content.begin(), content.end());
}

// How a read of the job data went.
enum class ReadOutcome { Succeeded, ReadFailed, ParseFailed };

}  // namespace

CupsBackendHook::CupsBackendHook(int argumentCount, char* const arguments[], const char* cacheFolder)
    : mintArgumentCount(argumentCount), mArguments(arguments), mstrCacheFolder(cacheFolder != nullptr ? cacheFolder : "")
{
    DebugScope scope(kComponent, "CupsBackendHook");
    std::string folder;
    std::string name;
    ProcessUtil::GetOriginalBackendPathAndName(folder, name, mArgument(0));
    Log::Debug("backendName= %s", name);
    // The installation moves a queue's own backend into a hidden folder beside
    // the backend folder, under its own name.
    folder += "/../.cvkbackend";
    ProcessUtil::FollowAllSymlinks(folder);
    mstrBackendPath = folder + "/" + name;
}

CupsBackendHook::~CupsBackendHook()
{
    DebugScope scope(kComponent, "~CupsBackendHook");
    mChannel.reset();
}

// An argument, or null past the end.
const char* CupsBackendHook::mArgument(int index) const
{
    return index >= 0 && index < mintArgumentCount ? mArguments[index] : nullptr;
}

// The job id of argument 1; 0 when it is not a decimal number.
uint32_t CupsBackendHook::mJobId() const
{
    const char* text = mArgument(1);
    uint32_t id = 0;
    std::string_view view = text != nullptr ? text : "";
    auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), id);
    if (error != std::errc() || end != view.data() + view.size()) {
        Log::Error("Not a job id: \"%s\"", std::string(view));
        return 0;
    }
    return id;
}

int CupsBackendHook::Process()
{
    DebugScope scope(kComponent, "Process");
    // Without job arguments CUPS asks for the devices of the wrapped backend.
    if (mintArgumentCount == 1)
        return ProcessUtil::ExecuteChildPreserveFileHandles(mstrBackendPath.c_str(), mArguments);
    if (mintArgumentCount < 3)
        return CancelStatus;

    Logger::Log_Debug(LogComponents::HookGeneral, stringFormat("Moving job: %s", mArgument(1)));
    {
        // A stop while the copy is written would leave half of it behind;
        // held back, it comes once the copy is whole and removes it.
        SecureFileHandler secureFiles(mArgument(2));
        TerminationHandler::Deferral deferral;
        if (SecureFileHandler::IsValidJobId(mArgument(1)))
            TerminationHandler::SetJobCopy(secureFiles.GetFullPathToSecureFile(mArgument(1)));
        secureFiles.CopyCupsDataFile(mArgument(1));
    }

    // A client that goes away must make sends fail, not end the hook.
    Signals::IgnoreSigPipe();

    mChannel = std::make_unique<ClientCommunicationChannel>(mArgument(2));
    Log::Debug("Attempting to connect to the client.");
    if (mChannel->Connect()) {
        Log::Debug("Connection to the client was Successful.");
        ClientMessage request(ClientMessageType::Notify, ClientMessageSubType::NewJob);
        request.SetSingleNumericParameter(mJobId());
        ClientMessage reply;
        bool more = true;
        while (more) {
            Log::Debug("Header: %s", HeaderText(request));
            Log::Debug("Content: %s", ContentText(request));
            if (mChannel->SendMessage(request))
                reply = mChannel->ReceiveMessage();
            else
                reply = ClientMessage(ClientMessageType::Error, ClientMessageSubType::CommunicationFailure);
            more = HandleResponse(reply, request) && reply.GetType() == ClientMessageType::Request;
        }
        mChannel->Disconnect();
        // The client uploads the copy before it answers, and a client that
        // answers without a job thread (a job id it has seen, a refusal)
        // never removes it: once the exchange is over the copy is no one's.
        SecureFileHandler(mArgument(2)).DeleteSecurePayload(mArgument(1));
    } else {
        Log::Error("Client not running.");
        ClientMessage request;
        HandleResponse(ClientMessage(ClientMessageType::Error, ClientMessageSubType::ClientNotRunning), request);
    }
    mChannel.reset();
    Log::Debug("Process return value = %d", mintExitCode);
    return mintExitCode;
}

bool CupsBackendHook::HandleResponse(const ClientMessage& reply, ClientMessage& nextRequest)
{
    DebugScope scope(kComponent, "HandleResponse");
    unsigned char type = reply.GetType();
    unsigned char subType = reply.GetSubType();
    Log::Debug("HandleResponse Type:%c SubType:%c", type, subType);
    Log::Debug("HandleResponse clientMessage= %s", ContentText(reply));

    if (type == ClientMessageType::Request) {
        switch (subType) {
        case ClientMessageSubType::JobCancelled:
            Log::Debug("ClientMessageSubType::JobCancelled");
            mintExitCode = CancelStatus;
            return false;
        case ClientMessageSubType::PageSets:
            Log::Debug("ClientMessageSubType::PageSets");
            return ParsePageSets(nextRequest);
        case ClientMessageSubType::JobCompleted:
            Log::Debug("ClientMessageSubType::JobCompleted");
            mintExitCode = mRunBackend();
            return false;
        default:
            Log::Error("Unknown request from client. Cancelling job. [%c]", subType);
            mintExitCode = CancelStatus;
            return false;
        }
    }
    if (type == ClientMessageType::Error) {
        switch (subType) {
        case ClientMessageSubType::ClientNotRunning:
            Log::Error("ClientMessageSubType::ClientNotRunning");
            mintExitCode = HandleClientNotRunning();
            return false;
        case ClientMessageSubType::CommunicationFailure:
            Log::Error("Communication failure with client.  Cancelling job.");
            mintExitCode = CancelStatus;
            return false;
        default:
            Log::Error("Unknown failure communicating with client.  Cancelling job. [%c]", subType);
            mintExitCode = CancelStatus;
            return false;
        }
    }
    Log::Error("Invalid message received from the client. Cancelling the print job [%c %c]", type, subType);
    mintExitCode = CancelStatus;
    return false;
}

// Runs the wrapped backend for a job the client approved: through a pipe that
// first replays what the hook has taken of standard input, else on the hook's
// own descriptors.
int CupsBackendHook::mRunBackend()
{
    Log::Debug("Executable: %s", mstrBackendPath);
    if (!NeedPipes())
        return ProcessUtil::ExecuteChildPreserveFileHandles(mstrBackendPath.c_str(), mArguments);
    if (mJobData.HasFailed()) {
        // Part of the job is lost; printing the rest would waste paper on a
        // broken document. CUPS runs the job again later.
        Log::Error("The job data could not be kept for the printer. The job will be retried.");
        return RetryStatus;
    }
    std::span<const unsigned char> head = mJobData.GetHead();
    return ProcessUtil::ExecuteChildWithStdinPipe(mstrBackendPath.c_str(), mArguments, head.data(), head.size(),
                                                 mJobData.GetSpillDescriptor());
}

bool CupsBackendHook::ParsePageSets(ClientMessage& nextRequest)
{
    DebugScope scope(kComponent, "ParsePageSets");
    RawPrintData::CRawDataHandler handler(RawPrintData::LANGUAGE_UNKNOWN);
    std::string jobId = mArgument(1) != nullptr ? mArgument(1) : "";
    ReadOutcome outcome = ReadOutcome::Succeeded;
    {
        SecureFileHandler secureFiles(mArgument(2) != nullptr ? mArgument(2) : "");
        const char* filePath = mintArgumentCount >= 7 ? mArgument(6) : nullptr;
        JobDataSource source(filePath);
        if (source.IsFile())
            Log::Debug("Parsing from file: %s", filePath);
        Logger::Log_Debug(LogComponents::Secure, stringFormat("FileId: %s", jobId));
        Log::Debug("Begin reading print stream");

        // Keeps a piece for the backend (only standard input is replayed: a
        // file the backend reads itself) and for the debug dump.
        auto keep = [&](std::span<const unsigned char> piece) {
            if (!source.IsFile())
                mJobData.Append(piece);
            secureFiles.WriteParsedData(jobId, piece);
        };

        std::vector<unsigned char> buffer(ReadPieceSize);
        if (!source.IsOpen()) {
            Log::Error("Unable to open the job file %s: %s", filePath, std::strerror(source.GetOpenError()));
            outcome = ReadOutcome::ReadFailed;
        } else {
            const auto readWait = HookTimings::Seconds(HookTimings::ReadWaitSeconds);
            int failures = 0;
            for (;;) {
                Log::Debug("Begin monitoring the socket/file");
                int ready = source.WaitReadable(readWait);
                ssize_t got = -1;
                if (ready <= 0) {
                    Log::Error("Socket/file is not ready. Error#: %ld", static_cast<long>(ready));
                } else {
                    Log::Debug("Socket/file is available (selectRetVal: %ld).  Read data into our buffer...",
                               static_cast<long>(ready));
                    got = source.Read(buffer);
                }
                if (got == 0) {
                    Log::Debug("No more data to read from buffer.  End Parsing.");
                    break;
                }
                if (got > 0) {
                    auto piece = std::span<const unsigned char>(buffer.data(), static_cast<size_t>(got));
                    Log::Debug("Appending %ld bytes of data to intermediate raw data parsing buffer",
                               static_cast<long>(got));
                    Log::Debug("Processing %ld bytes", static_cast<long>(got));
                    keep(piece);
                    Log::Debug("Parse the available data");
                    int result = handler.ParseData(piece.data(), piece.size());
                    Log::Debug("ParseData returned: %d", result);
                    failures = 0;
                    if (result < 0) {
                        outcome = ReadOutcome::ParseFailed;
                        break;
                    }
                    continue;
                }
                int error = errno;
                Log::Error("Failed to read the buffer... try again");
                if (++failures >= HookTimings::ReadFailuresAllowed) {
                    Log::Error("Error after read - Error# %d: %s", error, std::strerror(error));
                    outcome = ReadOutcome::ReadFailed;
                    break;
                }
            }
        }
        if (outcome != ReadOutcome::Succeeded) {
            // The backend still needs the whole job, parsed or not.
            Log::Error("Parsing failed... Continue reading remainder of buffer");
            for (ssize_t got; source.IsOpen() && (got = source.Read(buffer)) > 0;)
                keep(std::span<const unsigned char>(buffer.data(), static_cast<size_t>(got)));
        }
        if (source.IsFile())
            Log::Debug("closing buffer");
    }

    if (outcome != ReadOutcome::Succeeded) {
        Log::Debug("Parsing did not successfully complete.  Use alternate page count method...");
        handler.SetParseSucceeded(false);
        handler.ParseDone();
    } else {
        handler.ParseDone();
        const auto& pageSets = handler.GetPageSets();
        Log::Debug("Parse complete successfully... # of pagesets calculated = %ld", static_cast<long>(pageSets.size()));
        for (size_t i = 0; i < pageSets.size(); ++i) {
            Log::Debug("PageSet Information - PageSet[%d]", static_cast<int>(i));
            Log::Debug("B/W Page Count = %d", pageSets[i].mintMonoPages);
            Log::Debug("Color Page Count = %d", pageSets[i].mintColorPages);
            Log::Debug("PageSet Information - PageSet[%d]", static_cast<int>(i));
        }
        handler.SetParseSucceeded(true);
    }
    nextRequest = RawDataJobProperties(mJobId(), handler).GetMessage();
    return true;
}

bool CupsBackendHook::NeedPipes() const
{
    DebugScope scope(kComponent, "NeedPipes");
    bool needPipes = mintArgumentCount < 7 && !mJobData.IsEmpty();
    Log::Debug("needPipes = %s", needPipes ? "YES" : "NO");
    return needPipes;
}

int CupsBackendHook::HandleClientNotRunning() const
{
    DebugScope scope(kComponent, "HandleClientNotRunning");
    mLoadCachedSettings();
    Log::Debug("Since the client is not running, get ready to push the data through to the printer.");
    // No client will release or upload the job, so its secure copy goes now.
    if (mArgument(1) != nullptr && mArgument(2) != nullptr)
        SecureFileHandler(mArgument(2)).DeleteSecurePayload(mArgument(1));
    return ProcessUtil::ExecuteChildPreserveFileHandles(mstrBackendPath.c_str(), mArguments);
}

// Only the settings the owner's client cached: the hook does not talk to the
// server, and nothing of the job depends on them. The hook reads them as
// root from the owner's own folder, so no link is followed there and only a
// file of the owner's or root's is taken.
void CupsBackendHook::mLoadCachedSettings() const
{
    auto owner = Platform::LookupUser(mArgument(2) != nullptr ? mArgument(2) : "");
    if (mstrCacheFolder.empty() || !owner)
        return;
    CVClientData::ClientSettings settings(mstrCacheFolder);
    const std::string& path = settings.GetLocalStoragePath();
    std::vector<uint8_t> bytes;
    std::string reason;
    switch (Platform::ReadUsersFile(*owner, path, CachedSettingsLimit, bytes, reason)) {
    case Platform::UserFileRead::Read:
        settings.LoadFromBinaryData(bytes, path);
        break;
    case Platform::UserFileRead::Missing:
        break;
    case Platform::UserFileRead::Refused:
        Log::Error("Cached client settings %s ignored: %s.", path, reason);
        break;
    }
}
