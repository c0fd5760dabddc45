// cvk_demo: the main job of the system shown on this machine without touching
// its own printing. A private cupsd in a temporary folder with a tracked
// queue (cvkhook wrapping a recording backend in place of a printer), the
// loopback stand-in of the accounting server whose rules track every job
// silently, and the client core of the current user; sample jobs of the
// repository are printed with lp. For each job it tells what the server
// received and what reached the wrapped backend, then removes everything.
//
// With --windows the client is the real application on the current display
// (DISPLAY), and the rules ask the user about every job, with a question
// and then the job pop-up; the demonstration waits for the person to answer.
//
// Exit status 0 when every job printed whole and was accounted (or, with
// windows, was cancelled by its user), 1 otherwise, 2 when the
// demonstration could not be set up, 130 when interrupted.
#include "tests/EndToEnd/EndToEndWorld.h"
#include "tests/EndToEnd/ServerJobSummary.h"
#include "tests/Support/ChildProgram.h"

#include <cups/ipp.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

constexpr const char* kQueue = "Front_Desk";
constexpr int kSetupFailed = 2;
constexpr int kInterrupted = 130;
constexpr auto kJobLimit = std::chrono::seconds(60);
// A person answering the windows takes their time.
constexpr auto kJobLimitWithWindows = std::chrono::minutes(10);

// One sample job of the repository.
struct Sample {
    const char* file;  // under the source folder
    const char* language;
};

const Sample kSamples[] = {
    {"tests/ParserPcl/data/ljet4d-duplex-copies3.pcl", "PCL 5"},
    {"tests/ParserPcl/data/pxlcolor.pxl", "PCL XL"},
    {"tests/ParserPostscript/data/windows_pscript_duplex.ps", "PostScript"},
    {"tests/ParserPjl/data/pjl-hpgl-two-pages.prn", "HP-GL/2 in PJL"},
};

std::atomic<bool> gInterrupted{false};

// Takes the stop signals on a thread of its own, so that an interrupted
// demonstration still stops its scheduler and removes its folders.
void WatchForInterrupts()
{
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&stopSignals, signal);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::thread([stopSignals] {
        int received = 0;
        sigwait(&stopSignals, &received);
        gInterrupted = true;
    }).detach();
}

// A paper size as a person reads it.
std::string PaperName(const EndToEnd::PaperPages& paper)
{
    if (!paper.size.empty())
        return paper.size;
    if (paper.width > 0 && paper.height > 0)
        return std::to_string((paper.width + 5) / 10) + " x " + std::to_string((paper.height + 5) / 10) + " mm";
    return "size not named";
}

// "2 mono, 1 colour" without the zero parts, or "no pages".
std::string PageCounts(int32_t mono, int32_t colour)
{
    std::string text;
    if (mono > 0)
        text = std::to_string(mono) + " mono";
    if (colour > 0)
        text += (text.empty() ? "" : ", ") + std::to_string(colour) + " colour";
    return text.empty() ? "no pages" : text;
}

// The lines of the client's user-interface log that asked the user
// something (notices left out).
std::string Questions(const std::string& log)
{
    std::string questions;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        end = end == std::string::npos ? log.size() : end + 1;
        std::string line = log.substr(start, end - start);
        if (!line.starts_with("notice "))
            questions += "  " + line;
        start = end;
    }
    return questions;
}

// What the server received of one job.
void PrintServerView(const EndToEnd::ServerJobSummary& job)
{
    std::printf("  server received   user %s, printer %s, document \"%s\"\n", job.user.c_str(), job.printer.c_str(),
                job.document.c_str());
    std::string sizes;
    for (const EndToEnd::PaperPages& paper : job.paper)
        sizes += (sizes.empty() ? "" : "; ") + PaperName(paper) + ": " + PageCounts(paper.mono, paper.colour);
    std::printf("                    pages by paper: %s\n", sizes.c_str());
    std::printf("                    %d mono and %d colour page%s, %llu cop%s, %s, cost %.2f\n", job.monoPages,
                job.colourPages, job.colourPages == 1 ? "" : "s", static_cast<unsigned long long>(job.copies),
                job.copies == 1 ? "y" : "ies", job.duplex ? "duplex" : "one-sided", job.cost);
}

// Prints one job and follows it to its end; whether it printed whole and
// reached the server, or (with windows) was cancelled by the user.
bool ReportJob(const EndToEnd::EndToEndWorld& world, int jobId, const Sample& sample, const std::string& path,
               bool withWindows)
{
    std::string document = TestSupport::ReadFileText(path);
    std::string name = std::filesystem::path(path).filename();
    std::printf("\nJob %d: %s (%s, %zu bytes)\n", jobId, name.c_str(), sample.language, document.size());
    std::fflush(stdout);
    auto ended = [&] {
        auto state = world.Cupsd().JobState(jobId);
        return state == IPP_JSTATE_COMPLETED || (withWindows && state == IPP_JSTATE_CANCELED);
    };
    bool completed = TestSupport::WaitUntil([&] { return gInterrupted || ended(); },
                                            withWindows ? kJobLimitWithWindows : kJobLimit);
    if (gInterrupted)
        return false;
    if (completed && world.Cupsd().JobState(jobId) == IPP_JSTATE_CANCELED) {
        std::printf("  cancelled by you   the printer received nothing\n");
        return !world.BackendRan(jobId);
    }
    if (!completed) {
        std::printf("  the job did not complete (state %d)\n", world.Cupsd().JobState(jobId).value_or(-1));
        return false;
    }
    auto serverJob = world.ServerJob(jobId);
    if (serverJob)
        PrintServerView(*serverJob);
    else
        std::printf("  server received   nothing: the job was not tracked\n");

    auto record = world.BackendRecord(jobId);
    bool identical = record.data == document;
    std::printf("  backend received  %zu bytes, %s the document, as \"%s\"\n", record.data.size(),
                identical ? "identical to" : "DIFFERENT FROM", record.Get("argv[0]").c_str());
    return serverJob.has_value() && identical;
}

// Starts the client: the real application on the current display, or the
// core without windows.
bool StartClient(EndToEnd::EndToEndWorld& world, bool withWindows)
{
    if (!withWindows)
        return world.StartClient();
#ifdef CVK_CLIENT_APPLICATION
    return world.StartClientProgram({CVK_CLIENT_APPLICATION});
#else
    return false;
#endif
}

}  // namespace

// Sets the world up, prints the samples, reports, cleans up.
int main(int argc, char** argv)
{
    bool withWindows = argc == 2 && std::string_view(argv[1]) == "--windows";
    if (argc > 2 || (argc == 2 && !withWindows)) {
        std::fprintf(stderr, "usage: cvk_demo [--windows]\n");
        return kSetupFailed;
    }
#ifndef CVK_CLIENT_APPLICATION
    if (withWindows) {
        std::fprintf(stderr, "cvk_demo: this build has no client application (CVK_BUILD_GUI is off)\n");
        return kSetupFailed;
    }
#endif
    if (withWindows && std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        std::fprintf(stderr, "cvk_demo: --windows needs a display (DISPLAY or WAYLAND_DISPLAY)\n");
        return kSetupFailed;
    }
    WatchForInterrupts();
    int result = 0;
    {
        EndToEnd::EndToEndWorld world;
        if (!world.Problem().empty()) {
            std::fprintf(stderr, "cvk_demo: %s\n", world.Problem().c_str());
            return kSetupFailed;
        }
        if (withWindows)
            world.ScriptRules(EndToEnd::Tracking::WithPopup, EndToEnd::EndToEndWorld::MonoPageCost,
                              EndToEnd::EndToEndWorld::ColourPageCost,
                              {EndToEnd::ContinueOrCancel("Print this job?",
                                                          "The demonstration's rules ask about every job.")});
        else
            world.ScriptRules(EndToEnd::Tracking::Silently);
        if (!world.AddQueue(kQueue, EndToEnd::QueueKind::Tracked, EndToEnd::DataPath::SpoolFile)
            || !StartClient(world, withWindows)) {
            std::fprintf(stderr, "cvk_demo: the queue or the client core could not be set up\n%s\n",
                         world.Cupsd().ErrorLog().c_str());
            return kSetupFailed;
        }
        std::printf("Quorvel demonstration, in %s (removed afterwards)\n", world.Root().Path().c_str());
        std::printf("  private CUPS scheduler on %s with the tracked queue %s:\n", world.Cupsd().Address().c_str(),
                    kQueue);
        std::printf("    cvkhook in front of a recording backend that stands in for the printer\n");
        std::printf("  stand-in accounting server at %s: its rules %s,\n", world.Server().BaseUrl().c_str(),
                    withWindows ? "ask the user about every job" : "track every job silently");
        std::printf("    %.2f per mono page, %.2f per colour page\n", EndToEnd::EndToEndWorld::MonoPageCost,
                    EndToEnd::EndToEndWorld::ColourPageCost);
        if (withWindows)
            std::printf("  the client application of user %s on your display: answer its questions\n",
                        world.User().c_str());
        else
            std::printf("  the client core of user %s, without windows\n", world.User().c_str());
        std::printf("Printing %zu sample jobs with lp.\n", std::size(kSamples));

        std::vector<int> jobs;
        for (const Sample& sample : kSamples)
            jobs.push_back(world.Submit(kQueue, std::string(CVK_SOURCE_DIR) + "/" + sample.file));
        for (size_t i = 0; i < jobs.size() && !gInterrupted; ++i) {
            std::string path = std::string(CVK_SOURCE_DIR) + "/" + kSamples[i].file;
            if (jobs[i] <= 0) {
                std::printf("\nlp could not submit %s\n", path.c_str());
                result = 1;
            } else if (!ReportJob(world, jobs[i], kSamples[i], path, withWindows)) {
                result = 1;
            }
        }
        if (!gInterrupted && !withWindows) {
            std::string questions = Questions(world.UiLog());
            std::printf("\nQuestions the client asked its user: %s\n%s", questions.empty() ? "none" : "",
                        questions.c_str());
        }
        world.StopClient();
    }
    if (gInterrupted) {
        std::printf("\nInterrupted; the scheduler is stopped and the temporary folders are removed.\n");
        return kInterrupted;
    }
    std::printf("\nThe scheduler is stopped and the temporary folders are removed.\n");
    return result;
}
