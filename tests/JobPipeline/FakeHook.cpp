#include "tests/JobPipeline/FakeHook.h"

#include "Core/CVClientCommunication/RawDataJobProperties.h"
#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "tests/Support/ChildProgram.h"

#include <sys/socket.h>

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

// The 'N','P' message the hook sends after parsing the data.
ClientMessage PageSetMessage(uint32_t jobId, const std::string& data)
{
    RawPrintData::CRawDataHandler handler;
    bool ok = handler.ParseData(reinterpret_cast<const unsigned char*>(data.data()), data.size()) >= 0;
    ok = handler.ParseDone() >= 0 && ok;
    handler.SetParseSucceeded(ok);
    return RawDataJobProperties(jobId, handler).GetMessage();
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
        mHookEnd->SendMessage(PageSetMessage(id, mstrPrintData));
    }
    std::lock_guard lock(mLock);
    mblnClosed = true;
}

}  // namespace PipelineTests
