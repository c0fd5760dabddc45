#include "hook/CupsBackendHook.h"

#include "Common/StringFormat.h"
#include "Core/CVClientCommunication/Signals.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/LocalFiles/SecureFileHandler.h"
#include "Core/ProcessUtil/ProcessUtil.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"
#include "Platform/UserAccount.h"
#include "Platform/UserFile.h"
#include "hook/JobDataKeeper.h"
#include "hook/JobDataReader.h"
#include "hook/JobDataSource.h"
#include "hook/KeptJobBytes.h"
#include "hook/PageSetParser.h"
#include "hook/PrinterJobOptions.h"
#include "hook/SchedulerMessages.h"
#include "hook/TerminationHandler.h"

#include <cups/backend.h>

#include <cerrno>
#include <cstdlib>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <string_view>
#include <unistd.h>
#include <vector>

using CVClientData::ProcessUtil;

namespace {

constexpr auto kComponent = LogComponents::CoreCups;
using HookLog = ComponentLog<LogComponents::HookGeneral>;
using SecureLog = ComponentLog<LogComponents::Secure>;
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

}  // namespace

CupsBackendHook::CupsBackendHook(int argumentCount, char* const arguments[], const char* cacheFolder)
    : mintArgumentCount(argumentCount), mArguments(arguments), mstrCacheFolder(cacheFolder != nullptr ? cacheFolder : "")
{
    DebugScope scope(kComponent, "CupsBackendHook");
    std::string folder;
    std::string name;
    ProcessUtil::GetOriginalBackendPathAndName(folder, name, mArgument(0));
    Log::Debug("backendName= %s", name);
    mstrPlacePath = folder + "/" + name;
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
    if (mintSealedCopy >= 0)
        close(mintSealedCopy);
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
        return ProcessUtil::ExecuteChildPreserveFileHandles(mBackendPath().c_str(), mArguments);
    if (mintArgumentCount < 3) {
        SchedulerMessages::Error("Job cancelled: the backend was given no job owner.");
        return CUPS_BACKEND_CANCEL;
    }

    HookLog::Debug("Moving job: %s", mArgument(1));
    mCopyForSecureRelease();

    // A client that goes away must make sends fail, not end the hook.
    Signals::IgnoreSigPipe();

    mChannel = std::make_unique<ClientCommunicationChannel>(mArgument(2));
    Log::Debug("Attempting to connect to the client.");
    if (mChannel->Connect()) {
        Log::Debug("Connection to the client was Successful.");
        mExchangeWithClient();
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

// Copies the CUPS spool file for secure release. A stop while the copy is
// written would leave half of it behind; held back, it comes once the copy is
// whole and removes it. The payload file is the owner's, who may write it
// while the client asks her or the server; what is released is the copy
// sealed in memory, the bytes CUPS gave this job.
void CupsBackendHook::mCopyForSecureRelease()
{
    SecureFileHandler secureFiles(mArgument(2));
    TerminationHandler::Deferral deferral;
    if (SecureFileHandler::IsValidJobId(mArgument(1)))
        TerminationHandler::SetJobCopy(secureFiles.GetFullPathToSecureFile(mArgument(1)));
    secureFiles.CopyCupsDataFile(mArgument(1));
    mintSealedCopy = secureFiles.TakeSealedCopy();
}

// Announces the job and answers the client's requests until its final
// answer, or until the connection fails.
void CupsBackendHook::mExchangeWithClient()
{
    SchedulerMessages::Info(stringFormat("Waiting for the answer of the Quorvel Client of %s.", mArgument(2)));
    ClientMessage request(ClientMessageType::Notify, ClientMessageSubType::NewJob);
    request.SetSingleNumericParameter(mJobId());
    ClientMessage reply;
    bool more = true;
    while (more) {
        Log::Debug("Header: %s", HeaderText(request));
        Log::Debug("Content: %s", ContentText(request));
        const bool pageData = request.Is(ClientMessageType::Notify, ClientMessageSubType::PageSets);
        if (mChannel->SendMessage(request, pageData ? mintSealedCopy : -1))
            reply = mChannel->ReceiveMessage();
        else
            reply = ClientMessage(ClientMessageType::Error, ClientMessageSubType::CommunicationFailure);
        more = HandleResponse(reply, request) && reply.GetType() == ClientMessageType::Request;
    }
    mChannel->Disconnect();
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
            return mCancel("Job cancelled by Quorvel Client.");
        case ClientMessageSubType::PageSets:
            Log::Debug("ClientMessageSubType::PageSets");
            return ParsePageSets(nextRequest);
        case ClientMessageSubType::JobCompleted:
            Log::Debug("ClientMessageSubType::JobCompleted");
            mintExitCode = mRunBackend();
            return false;
        case ClientMessageSubType::JobHeld:
            // The client could not record the job (its store is full or
            // unwritable, or it is quitting): CUPS keeps the job until it is
            // released, and it is not printed with no record.
            Log::Error("ClientMessageSubType::JobHeld");
            SchedulerMessages::Error("Job held: Quorvel Client could not record it. Release it once the client "
                                     "runs with room to store jobs.");
            mintExitCode = CUPS_BACKEND_HOLD;
            return false;
        default:
            Log::Error("Unknown request from client. Cancelling job. [%c]", subType);
            return mCancel("Job cancelled: Quorvel Client sent an unknown request.");
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
            return mCancel("Job cancelled: the connection to Quorvel Client failed.");
        default:
            Log::Error("Unknown failure communicating with client.  Cancelling job. [%c]", subType);
            return mCancel("Job cancelled: the connection to Quorvel Client failed.");
        }
    }
    Log::Error("Invalid message received from the client. Cancelling the print job [%c %c]", type, subType);
    return mCancel("Job cancelled: Quorvel Client sent an invalid message.");
}

// Ends the job cancelled, telling the scheduler why; false, as the exchange
// is over.
bool CupsBackendHook::mCancel(std::string_view reason)
{
    SchedulerMessages::Error(reason);
    mintExitCode = CUPS_BACKEND_CANCEL;
    return false;
}

// Runs the wrapped backend for a job the client approved: through a pipe that
// first replays what the hook has taken of standard input, else on the hook's
// own descriptors.
// The wrapped backend, or, once the installation's removal has put it back in
// the backend folder while this job was under way, the backend there (unless
// that is still this program).
std::string CupsBackendHook::mBackendPath() const
{
    struct stat wrapped {};
    if (lstat(mstrBackendPath.c_str(), &wrapped) == 0)
        return mstrBackendPath;
    std::error_code placeError, selfError, typeError;
    auto placed = std::filesystem::canonical(mstrPlacePath, placeError);
    auto self = std::filesystem::canonical("/proc/self/exe", selfError);
    if (placeError || selfError || placed == self || !std::filesystem::is_regular_file(placed, typeError))
        return mstrBackendPath;
    Log::Error("The wrapped backend %s is gone; running %s, where it was put back.", mstrBackendPath, mstrPlacePath);
    return mstrPlacePath;
}

int CupsBackendHook::mRunBackend()
{
    Log::Debug("Executable: %s", mstrBackendPath);
    if (!NeedPipes())
        return ProcessUtil::ExecuteChildPreserveFileHandles(mBackendPath().c_str(), mArguments);
    if (mJobData.HasFailed()) {
        // Part of the job is lost; printing the rest would waste paper on a
        // broken document. CUPS runs the job again later.
        Log::Error("The job data could not be kept for the printer. The job will be retried.");
        SchedulerMessages::Error("The job data could not be kept for the printer; the job will be retried.");
        return CUPS_BACKEND_RETRY;
    }
    std::span<const unsigned char> head = mJobData.GetHead();
    return ProcessUtil::ExecuteChildWithStdinPipe(mBackendPath().c_str(), mArguments, head.data(), head.size(),
                                                 mJobData.GetSpillDescriptor());
}

bool CupsBackendHook::ParsePageSets(ClientMessage& nextRequest)
{
    DebugScope scope(kComponent, "ParsePageSets");
    PageSetParser parser;
    bool parsed = mReadAndParse(parser);
    RawDataJobProperties properties = parser.Finish(mJobId(), parsed);
    properties.SetCopies(
        PrinterJobOptions::CountedCopies(properties.GetCopies(), mCopiesMadeByBackend(), parser.IsRaster()));
    // A PDF cannot ask for two sides; the printer takes them from the job's
    // options, which the ipp backend sends with the document.
    if (parser.IsPdf() && PrinterJobOptions::OptionsAskForTwoSides(mArgument(5)))
        properties.SetDuplex(true);
    nextRequest = properties.GetMessage();
    return true;
}

// The copies the wrapped backend itself makes of the job data. As CUPS's own
// backends do, it sends the data as many times as argument 4 says only when
// the job file is given as argument 6 (a queue without filters); with the
// data on standard input the filters have made the copies in the data, and
// the backend sends it once, except the ipp backend of a queue whose PPD
// leaves copies to the printer: it asks the printer for argument 4's copies
// (a driverless queue with CUPS's own PPD).
uint32_t CupsBackendHook::mCopiesMadeByBackend() const
{
    if (mintArgumentCount < 7) {
        const std::string backend = mstrBackendPath.substr(mstrBackendPath.rfind('/') + 1);
        return PrinterJobOptions::CopiesAskedOfPrinter(backend, mArgument(4), std::getenv("PPD"));
    }
    std::string_view text = mArgument(4) != nullptr ? mArgument(4) : "";
    const uint32_t copies = PrinterJobOptions::ParseCopies(text);
    if (copies == 0) {
        Log::Error("Not a number of copies: \"%s\"; the job data is counted once.", std::string(text));
        return 1;
    }
    Log::Debug("Copies made by the backend: %u", static_cast<unsigned>(copies));
    return copies;
}

// Reads the job data from its source piece by piece, keeps each piece and
// feeds it to the parser; after a read or parse failure the rest is still
// read and kept, as the backend needs the whole job. True when the whole job
// was read and parsed.
bool CupsBackendHook::mReadAndParse(PageSetParser& parser)
{
    std::string jobId = mArgument(1) != nullptr ? mArgument(1) : "";
    const char* filePath = mintArgumentCount >= 7 ? mArgument(6) : nullptr;
    JobDataSource source(filePath);
    if (source.IsFile())
        Log::Debug("Parsing from file: %s", filePath);
    SecureLog::Debug("FileId: %s", jobId);
    Log::Debug("Begin reading print stream");
    // Only standard input is replayed: the backend reads a job file itself.
    JobDataKeeper keeper(source.IsFile() ? nullptr : &mJobData, mArgument(2) != nullptr ? mArgument(2) : "", jobId);
    JobDataReader reader(source);
    std::vector<unsigned char> buffer(ReadPieceSize);

    bool whole = source.IsOpen();
    bool parsedSoFar = whole;  // the parser has not failed on what it was given
    if (!whole)
        Log::Error("Unable to open the job file %s: %s", filePath, std::strerror(source.GetOpenError()));
    for (bool more = whole; more;) {
        JobDataReader::Piece piece = reader.Next(buffer);
        if (piece.kind != JobDataReader::Piece::Kind::Data) {
            whole = piece.kind == JobDataReader::Piece::Kind::End;
            break;
        }
        Log::Debug("Appending %ld bytes of data to intermediate raw data parsing buffer",
                   static_cast<long>(piece.bytes.size()));
        Log::Debug("Processing %ld bytes", static_cast<long>(piece.bytes.size()));
        keeper.Write(piece.bytes);
        more = whole = parsedSoFar = parser.Write(piece.bytes);
    }
    if (!whole) {
        Log::Error("Parsing failed... Continue reading remainder of buffer");
        // After a read that failed, the parser still counts what comes, as
        // long as it has not failed itself.
        bool parsing = parsedSoFar;
        reader.ReadRest(buffer, [&](std::span<const unsigned char> piece) {
            keeper.Write(piece);
            parsing = parsing && parser.Write(piece);
        });
    }
    // PDF and raster are read from the bytes kept for the backend (or the job
    // file), never from a copy of their own.
    if (source.IsOpen()) {
        const KeptJobBytes kept =
            source.IsFile() ? KeptJobBytes(source.GetDescriptor()) : KeptJobBytes(static_cast<const JobDataSpool&>(mJobData));
        whole = parser.EndOfData(kept) && whole;
    }
    if (source.IsFile())
        Log::Debug("closing buffer");
    return whole;
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
    SchedulerMessages::Info(stringFormat("No Quorvel Client of %s answered; the job prints without accounting.",
                                         mArgument(2) != nullptr ? mArgument(2) : ""));
    Log::Debug("Since the client is not running, get ready to push the data through to the printer.");
    // No client will release or upload the job, so its secure copy goes now.
    if (mArgument(1) != nullptr && mArgument(2) != nullptr)
        SecureFileHandler(mArgument(2)).DeleteSecurePayload(mArgument(1));
    return ProcessUtil::ExecuteChildPreserveFileHandles(mBackendPath().c_str(), mArguments);
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
