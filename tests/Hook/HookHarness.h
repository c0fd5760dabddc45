#pragma once

#include "Core/CVClientCommunication/ClientCommunicationChannel.h"
#include "Core/CVClientCommunication/ClientMessage.h"
#include "tests/Support/TempRoot.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace HookTests {

using Environment = std::vector<std::pair<std::string, std::string>>;

// The device URI scheme of the test queue; it names the wrapped backend.
inline constexpr const char* kScheme = "cvktest";
inline constexpr const char* kDeviceUri = "cvktest://printer.example/front";

// How one cvkhook process ended.
struct HookResult {
    int status = -1;         // exit code, or -1 when it did not exit normally
    long peakMemoryKb = 0;   // largest resident size of the hook itself
    double cpuSeconds = 0;   // processor time of the hook and its backend
    std::string errors;      // what it wrote to standard error
};

// The job data a hook finds on standard input: a file, or a pipe that a
// writer fills, optionally after a pause, and then closes.
struct StdinFeed {
    std::string data;
    bool throughPipe = false;
    std::chrono::milliseconds pause{0};
};

// A private root laid out as a CUPS machine with a tracked queue: the hook's
// preferences, a backend folder holding the scheme's name and beside it the
// hidden ".cvkbackend" folder with the recording backend, a records folder, a
// spill folder for the hook's temporary files and a stand-in client launcher
// that logs how it was called.
class HookSetup {
public:
    HookSetup();

    const TestSupport::TempRoot& Root() const { return mRoot; }
    std::string ServerBin() const { return mRoot.Path() + "/serverbin"; }
    std::string Records() const { return mRoot.Path() + "/records"; }
    std::string SpillFolder() const { return mRoot.Path() + "/spill"; }
    std::string LaunchLog() const { return mRoot.Path() + "/launches.log"; }
    std::string LauncherProgram() const { return mRoot.Path() + "/launcher.sh"; }

    // The environment cupsd would give the hook, here with the test's root.
    Environment HookEnvironment() const;

    // The CUPS spool file of a job under the root, and its secure copy.
    std::string CupsSpoolFile(int jobId) const;
    std::string PayloadCopy(int jobId) const;

    // The hook's log file (the test user's).
    std::string LogText() const { return mRoot.ClientLogText(); }

    // The six backend arguments of a job, and with a seventh naming a file.
    std::vector<std::string> JobArguments(int jobId, const std::string& user) const;

    // Runs cvkhook with the arguments (argument 0 included) and the job data
    // on standard input. extra adds to or replaces environment values;
    // whileRunning is called with the hook's process id once it runs.
    HookResult Run(const std::vector<std::string>& arguments, const StdinFeed& feed,
                   const Environment& extra = {}, const std::function<void(pid_t)>& whileRunning = {}) const;

private:
    TestSupport::TempRoot mRoot;
};

// A stand-in for the user's client: listens on the user's socket under the
// test's root as the test's user and answers one hook connection with a
// scripted exchange.
class FakeClient {
public:
    enum class Script {
        PrintAfterPageSets,     // 'R','P', read 'N','P', then 'R','Z'
        PrintAtOnce,            // 'R','Z' without asking for page data
        Cancel,                 // 'R','X'
        Hold,                   // 'R','H'
        CloseAfterPageRequest,  // 'R','P', then close without an answer
        UnknownRequest,         // 'R','Q'
        InvalidMessage,         // 'Q','Q'
        NoAnswer,               // nothing: waits until the hook goes away
    };

    // onNewJob runs on the client's thread when the job is announced.
    FakeClient(const std::string& user, Script script, std::function<void()> onNewJob = {});
    ~FakeClient();
    FakeClient(const FakeClient&) = delete;
    FakeClient& operator=(const FakeClient&) = delete;

    bool IsListening() const { return mblnListening; }

    // Waits until the one connection has been answered (or listening
    // stops); a hook that has not come within the limit is not waited for
    // longer: the client stops listening, and the test fails on what it
    // expected instead of hanging.
    void Finish(std::chrono::milliseconds limit = std::chrono::seconds(60));

    // What the hook sent; valid after Finish.
    std::optional<uint32_t> AnnouncedJobId() const { return mAnnouncedJobId; }
    std::optional<ClientMessage> PageSetReply() const { return mPageSetReply; }
    // What the sealed copy that came with the page data held; none when none
    // came or it was not sealed.
    std::optional<std::string> SealedCopy() const { return mSealedCopy; }

private:
    void mServe(Script script, const std::function<void()>& onNewJob);
    static std::optional<std::string> mReadSealedCopy(int descriptor);

    ClientCommunicationChannel mChannel;
    bool mblnListening = false;
    std::atomic<bool> mblnServed{false};
    std::optional<uint32_t> mAnnouncedJobId;
    std::optional<ClientMessage> mPageSetReply;
    std::optional<std::string> mSealedCopy;
    std::thread mThread;
};

// A sample job the parser counts: PJL around HP-GL/2, two A3 pages, two
// copies, duplex.
std::string SampleJob();
inline constexpr int kSampleJobPages = 2;
inline constexpr uint32_t kSampleJobCopies = 2;

}  // namespace HookTests
