#include "tests/JobPipeline/FakeHook.h"

#include "Core/CVClientCommunication/RawDataJobProperties.h"
#include "Core/CVModels/LocalFiles/SecureFileHandler.h"
#include "Platform/ScopedDescriptor.h"
#include "Platform/SealedFile.h"
#include "PrinterLanguageParser/Parser/JobBytes.h"
#include "hook/PageSetParser.h"
#include "tests/Support/ChildProgram.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>

namespace PipelineTests {

namespace {

// Both ends of a fresh socket pair.
std::pair<int, int> MakeSocketPair()
{
    int fds[2] = {-1, -1};
    socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds);
    return {fds[0], fds[1]};
}

// The 'N','P' message the hook sends after parsing the data, by the hook's
// own parsing stage.
ClientMessage PageSetMessage(uint32_t jobId, const std::string& data)
{
    const std::span<const unsigned char> bytes(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    PageSetParser parser;
    bool ok = parser.Write(bytes);
    ok = parser.EndOfData(RawPrintData::MemoryJobBytes(bytes)) && ok;
    return parser.Finish(jobId, ok).GetMessage();
}

// The job's data sealed, as the hook hands it over with the page data: made
// here from the payload file when it is a regular file; -1 without one.
int SealedCopyOfPayload(uint32_t jobId)
{
    const std::string path = SecureFileHandler().GetFullPathToSecureFile(std::to_string(jobId));
    Platform::ScopedDescriptor payload{open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK)};
    struct stat info {};
    std::string error;
    if (payload.fd < 0 || fstat(payload.fd, &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    Platform::ScopedDescriptor sealed{Platform::CreateSealableFile("job", error)};
    char buffer[4096];
    for (ssize_t got; (got = read(payload.fd, buffer, sizeof buffer)) > 0;)
        if (write(sealed.fd, buffer, static_cast<size_t>(got)) != got)
            return -1;
    return Platform::SealFile(sealed.fd, error) ? std::exchange(sealed.fd, -1) : -1;
}

std::string Letters(const ClientMessage& message)
{
    return {static_cast<char>(message.GetType()), static_cast<char>(message.GetSubType())};
}

}  // namespace

std::string HpglJob(int pages)
{
    std::string data = "\x1b%-12345X@PJL JOB\r\n@PJL SET PAPER=A4\r\n@PJL ENTER LANGUAGE=HPGL2\r\n";
    data += "BP;IN;SP1;";
    for (int page = 0; page < pages; ++page)
        data += "PA1000,1000;PD2000,2000;PU;PG;";
    data += "\x1b%-12345X@PJL EOJ\r\n\x1b%-12345X";
    return data;
}

FakeHook::FakeHook(uint32_t jobId, std::string printData, PageReply reply)
    : mintJobId(jobId),
      mstrPrintData(std::move(printData)),
      mReply(reply)
{
    auto [clientEnd, hookEnd] = MakeSocketPair();
    mClientEnd = std::make_unique<ClientCommunicationChannel>(clientEnd, "socketpair");
    mHookEnd = std::make_unique<ClientCommunicationChannel>(hookEnd, "socketpair");
    mAnnounceAndServe();
}

FakeHook::FakeHook(const std::string& userName, uint32_t jobId, std::string printData)
    : mintJobId(jobId),
      mstrPrintData(std::move(printData)),
      mReply(PageReply::PageSets)
{
    mHookEnd = std::make_unique<ClientCommunicationChannel>(userName.c_str());
    if (TestSupport::WaitUntil([this] { return mHookEnd->Connect(); }, std::chrono::seconds(30))) {
        mAnnounceAndServe();
    } else {
        std::lock_guard lock(mLock);
        mblnClosed = true;
    }
}

// Announces the job and answers the client from a thread of its own.
void FakeHook::mAnnounceAndServe()
{
    ClientMessage announce(ClientMessageType::Notify, ClientMessageSubType::NewJob);
    announce.SetSingleNumericParameter(mintJobId);
    mHookEnd->SendMessage(announce);
    mThread = std::thread([this] { mServe(); });
}

FakeHook::~FakeHook()
{
    mHookEnd->ShutdownConnection();
    if (mThread.joinable())
        mThread.join();
}

std::unique_ptr<ClientCommunicationChannel> FakeHook::TakeClientEnd()
{
    return std::move(mClientEnd);
}

bool FakeHook::WaitForClose(std::chrono::milliseconds limit)
{
    return TestSupport::WaitUntil(
        [this] {
            std::lock_guard lock(mLock);
            return mblnClosed;
        },
        limit);
}

std::vector<std::string> FakeHook::Received() const
{
    std::lock_guard lock(mLock);
    return mvecReceived;
}

std::vector<std::string> FakeHook::FinalAnswers() const
{
    std::vector<std::string> answers;
    for (const std::string& letters : Received())
        if (letters == "RZ" || letters == "RX")
            answers.push_back(letters);
    return answers;
}

bool FakeHook::AskedForPageSets() const
{
    std::vector<std::string> received = Received();
    return std::find(received.begin(), received.end(), "RP") != received.end();
}

// Reads until the client closes; a failed read ('E','F') is the close.
void FakeHook::mServe()
{
    for (;;) {
        ClientMessage message = mHookEnd->ReceiveMessage();
        if (message.Is(ClientMessageType::Error, ClientMessageSubType::CommunicationFailure))
            break;
        {
            std::lock_guard lock(mLock);
            mvecReceived.push_back(Letters(message));
        }
        if (!message.Is(ClientMessageType::Request, ClientMessageSubType::PageSets))
            continue;
        if (mReply == PageReply::Disconnect) {
            mHookEnd->ShutdownConnection();
            break;
        }
        uint32_t id = mReply == PageReply::OtherJob ? mintJobId + 1000 : mintJobId;
        Platform::ScopedDescriptor sealed{SealedCopyOfPayload(mintJobId)};
        mHookEnd->SendMessage(PageSetMessage(id, mstrPrintData), sealed.fd);
    }
    std::lock_guard lock(mLock);
    mblnClosed = true;
}

}  // namespace PipelineTests
