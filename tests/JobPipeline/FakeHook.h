#pragma once

#include "Core/CVClientCommunication/ClientCommunicationChannel.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace PipelineTests {

// Print data of a number of HP-GL/2 pages on A4, wrapped in PJL as drivers
// send it; 0 pages gives data in which the parser finds no page.
std::string HpglJob(int pages);

// The hook's end of one job's connection, on a real socket pair: it announces
// the job ('N','B'), answers the client's request for page data with the
// page sets that the real parser finds in its print data ('N','P'), and
// records every message the client sends until the client closes the
// connection.
class FakeHook {
public:
    // How the hook answers 'R','P'.
    enum class PageReply {
        PageSets,    // the parsed page sets of the print data, for this job
        OtherJob,    // the same, for another job id
        Disconnect,  // closes the connection instead
    };

    FakeHook(uint32_t jobId, std::string printData, PageReply reply = PageReply::PageSets);
    // The same over the user's client socket, as the real hook connects to a
    // client running in another process (retried while the client starts).
    FakeHook(const std::string& userName, uint32_t jobId, std::string printData);
    // Whether the hook reached the client (always, over a socket pair).
    bool Connected() const { return mHookEnd->IsConnected(); }
    ~FakeHook();
    FakeHook(const FakeHook&) = delete;
    FakeHook& operator=(const FakeHook&) = delete;

    // The client's end of a socket pair, once; the announcement waits in it.
    std::unique_ptr<ClientCommunicationChannel> TakeClientEnd();

    // Leaves the connection as a hook that CUPS ended does.
    void Leave() { mHookEnd->ShutdownConnection(); }

    // Waits until the client has closed the connection.
    bool WaitForClose(std::chrono::milliseconds limit = std::chrono::seconds(60));

    // Every message received, as header letters, in order.
    std::vector<std::string> Received() const;
    // The final answers received ("RZ", "RX").
    std::vector<std::string> FinalAnswers() const;
    bool AskedForPageSets() const;

private:
    void mAnnounceAndServe();
    void mServe();

    uint32_t mintJobId;
    std::string mstrPrintData;
    PageReply mReply;
    std::unique_ptr<ClientCommunicationChannel> mClientEnd;
    std::unique_ptr<ClientCommunicationChannel> mHookEnd;

    mutable std::mutex mLock;
    std::vector<std::string> mvecReceived;
    bool mblnClosed = false;
    std::thread mThread;
};

}  // namespace PipelineTests
