// bench_end_to_end: what tracking costs a print job on its whole road, on
// one private cupsd (see tests/EndToEnd/EndToEndWorld.h):
//   1. the time from lp to the job's completion, job after job, on a tracked
//      queue (cvkhook, the headless client core, the stand-in server, rules
//      that track silently) against the same queue type with the plain
//      recording backend; for both of the backend's data paths;
//   2. N jobs at once on N queues, tracked against plain;
//   3. the hook's peak memory and time for a 1 GiB job on standard input
//      that the client has parsed and then prints (the hook run as CUPS runs
//      it, for a held job of the tracked queue, with a backend that counts).
//
//   bench_end_to_end [--jobs N] [--parallel N] [--big-mib N]
//
// Debug logging is off (the preference "DebugLogging" is "0"): with it on,
// the hook also keeps a dump of every byte it parsed.
#include "tests/EndToEnd/EndToEndWorld.h"
#include "tests/Support/ChildProgram.h"

#include <cups/ipp.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <numeric>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using EndToEnd::DataPath;
using EndToEnd::EndToEndWorld;
using EndToEnd::QueueKind;

namespace {

constexpr auto kPoll = std::chrono::milliseconds(2);
constexpr auto kJobLimit = std::chrono::seconds(120);

struct Settings {
    int jobs = 20;
    int parallel = 8;
    long bigMib = 1024;
};

// Milliseconds since a point in time.
double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Waits, polling closely, until every job has completed; false on time-out
// or when a job ended otherwise.
bool WaitForCompletion(const EndToEndWorld& world, const std::vector<int>& jobs,
                       std::vector<double>* finishedAfterMs = nullptr, Clock::time_point start = Clock::now())
{
    std::vector<bool> done(jobs.size(), false);
    size_t left = jobs.size();
    auto deadline = Clock::now() + kJobLimit;
    while (left > 0 && Clock::now() < deadline) {
        for (size_t i = 0; i < jobs.size(); ++i) {
            if (done[i])
                continue;
            std::optional<int> state = world.Cupsd().JobState(jobs[i]);
            if (state > IPP_JSTATE_STOPPED && state != IPP_JSTATE_COMPLETED)
                return false;
            if (state == IPP_JSTATE_COMPLETED) {
                done[i] = true;
                --left;
                if (finishedAfterMs != nullptr)
                    finishedAfterMs->at(i) = MillisecondsSince(start);
            }
        }
        std::this_thread::sleep_for(kPoll);
    }
    return left == 0;
}

// "median 41.2  mean 42.0  p90 45.1  min 39.9  max 51.3 ms"
std::string Describe(std::vector<double> values)
{
    if (values.empty())
        return "no values";
    std::sort(values.begin(), values.end());
    double mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
    auto at = [&](double share) { return values.at(static_cast<size_t>(share * static_cast<double>(values.size() - 1))); };
    char text[160];
    std::snprintf(text, sizeof text, "median %7.1f  mean %7.1f  p90 %7.1f  min %7.1f  max %7.1f ms", at(0.5), mean,
                  at(0.9), values.front(), values.back());
    return text;
}

// Job after job, one on each queue in turn, so that both meet the same load
// on a shared machine: the time from lp to each job's completion, per queue.
std::vector<std::vector<double>> AlternatingLatencies(const EndToEndWorld& world, const std::vector<std::string>& queues,
                                                      int jobs)
{
    std::vector<std::vector<double>> latencies(queues.size());
    for (int i = -1; i < jobs; ++i) {  // one round to warm up
        for (size_t q = 0; q < queues.size(); ++q) {
            Clock::time_point start = Clock::now();
            int jobId = world.Submit(queues[q], CVK_SAMPLE_JOB);
            if (jobId <= 0 || !WaitForCompletion(world, {jobId}))
                return {};
            if (i >= 0)
                latencies[q].push_back(MillisecondsSince(start));
        }
    }
    return latencies;
}

// The median of some values, as Describe gives it.
double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at((values.size() - 1) / 2);
}

// One job on each queue, all submitted at once: the wall time until the last
// one completed, and each job's time.
std::pair<double, std::vector<double>> ParallelRun(const EndToEndWorld& world, const std::vector<std::string>& queues)
{
    std::vector<int> jobs(queues.size(), -1);
    std::vector<double> finished(queues.size(), 0.0);
    Clock::time_point start = Clock::now();
    std::vector<std::thread> submitters;
    for (size_t i = 0; i < queues.size(); ++i)
        submitters.emplace_back([&, i] { jobs[i] = world.Submit(queues[i], CVK_SAMPLE_JOB); });
    for (std::thread& submitter : submitters)
        submitter.join();
    if (std::find(jobs.begin(), jobs.end(), -1) != jobs.end() || !WaitForCompletion(world, jobs, &finished, start))
        return {-1.0, {}};
    return {MillisecondsSince(start), finished};
}

// What the big job gave.
struct BigJobResult {
    int status = -1;
    long peakKib = 0;
    double seconds = 0;
    unsigned long long fed = 0;
    std::string counted;  // the byte count the wrapped backend saw
};

// Runs cvkhook as CUPS runs a backend for the held job, with a pipe of
// repeated sample data on standard input, and samples its resident peak
// until it exits.
BigJobResult RunBigJob(const EndToEndWorld& world, int jobId, const std::string& deviceUri, long mib)
{
    const std::string root = world.Root().Path();
    const std::string serverBin = root + "/serverbin";
    const std::string countFile = root + "/big.count";
    fs::create_directories(serverBin + "/backend");
    fs::create_directories(serverBin + "/.cvkbackend");
    std::string scheme = deviceUri.substr(0, deviceUri.find(':'));
    // The hook in the backend folder under the scheme's name, as installed.
    std::error_code ignored;
    fs::create_symlink(CVK_HOOK_PROGRAM, serverBin + "/backend/" + scheme, ignored);
    std::string counter = serverBin + "/.cvkbackend/" + scheme;
    TestSupport::WriteFileText(counter, "#!/bin/sh\nexec wc -c > \"$CVK_COUNT_FILE\"\n");
    // Root's alone, so that it runs as root, as CUPS runs such a backend, and
    // may write its count into the run's folder.
    fs::permissions(counter, fs::perms(0700));

    std::vector<std::string> arguments{deviceUri, std::to_string(jobId), world.User(), "big job", "1", ""};
    std::vector<std::string> environment{"PATH=/usr/bin:/bin", "CVK_ROOT=" + root, "CUPS_SERVERBIN=" + serverBin,
                                         "TMPDIR=" + world.Root().Host("/tmp"), "CVK_CLIENT_LAUNCHER=/bin/true",
                                         "CVK_COUNT_FILE=" + countFile};
    std::vector<char*> argv = TestSupport::ArgumentArray(arguments);
    std::vector<char*> envp = TestSupport::ArgumentArray(environment);

    int ends[2];
    BigJobResult result;
    if (pipe2(ends, O_CLOEXEC) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    Clock::time_point start = Clock::now();
    int spawned = posix_spawn(&pid, CVK_HOOK_PROGRAM, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(ends[0]);
    if (spawned != 0) {
        close(ends[1]);
        return result;
    }

    std::string pattern = TestSupport::ReadFileText(CVK_BIG_JOB_PATTERN);
    unsigned long long target = static_cast<unsigned long long>(mib) * 1024 * 1024;
    std::thread feeder([&] {
        sigset_t pipeOnly;
        sigemptyset(&pipeOnly);
        sigaddset(&pipeOnly, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeOnly, nullptr);
        while (result.fed < target) {
            size_t piece = static_cast<size_t>(std::min<unsigned long long>(pattern.size(), target - result.fed));
            size_t done = 0;
            while (done < piece) {
                ssize_t written = write(ends[1], pattern.data() + done, piece - done);
                if (written < 0 && errno == EINTR)
                    continue;
                if (written <= 0)
                    break;
                done += static_cast<size_t>(written);
            }
            result.fed += done;
            if (done < piece)
                break;
        }
        close(ends[1]);
    });
    result.peakKib = TestSupport::PeakResidentKibUntilExit(pid);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.seconds = MillisecondsSince(start) / 1000.0;
    feeder.join();
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.counted = TestSupport::ReadFileText(countFile);
    while (!result.counted.empty() && (result.counted.back() == '\n' || result.counted.back() == ' '))
        result.counted.pop_back();
    return result;
}

// Reads "--name N" options.
bool ReadSettings(int argc, char** argv, Settings& settings)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string_view name = argv[i];
        long value = 0;
        auto [end, error] = std::from_chars(argv[i + 1], argv[i + 1] + std::strlen(argv[i + 1]), value);
        if (error != std::errc() || *end != '\0' || value < 1)
            return false;
        if (name == "--jobs")
            settings.jobs = static_cast<int>(value);
        else if (name == "--parallel")
            settings.parallel = static_cast<int>(value);
        else if (name == "--big-mib")
            settings.bigMib = value;
        else
            return false;
    }
    return argc % 2 == 1;
}

}  // namespace

int main(int argc, char** argv)
{
    Settings settings;
    if (!ReadSettings(argc, argv, settings)) {
        std::fprintf(stderr, "usage: bench_end_to_end [--jobs N] [--parallel N] [--big-mib N]\n");
        return 2;
    }
    EndToEnd::WorldOptions options;
    options.hookSecondMs = 1000;  // the hook's waits as in production
    EndToEndWorld world(options);
    if (!world.Problem().empty()) {
        std::fprintf(stderr, "bench_end_to_end: %s\n", world.Problem().c_str());
        return 1;
    }
    world.WritePreferences(true, false);
    world.ScriptRules(EndToEnd::Tracking::Silently);
    if (!world.StartClient()) {
        std::fprintf(stderr, "bench_end_to_end: the client core did not start\n");
        return 1;
    }
    std::printf("Sample job %s (%ju bytes); rules track silently; debug logging off.\n\n", CVK_SAMPLE_JOB,
                static_cast<uintmax_t>(fs::file_size(CVK_SAMPLE_JOB)));

    int failures = 0;
    std::printf("1. lp to completion, %d jobs on each queue one after the other, tracked and plain in turn\n",
                settings.jobs);
    std::vector<DataPath> paths{DataPath::SpoolFile, DataPath::StandardInput};
    auto queueName = [](QueueKind kind, DataPath path) {
        return std::string(kind == QueueKind::Tracked ? "Tracked" : "Plain")
            + (path == DataPath::SpoolFile ? "_File" : "_Stdin");
    };
    for (DataPath path : paths)
        for (QueueKind kind : {QueueKind::Tracked, QueueKind::Plain})
            if (!world.AddQueue(queueName(kind, path), kind, path)) {
                std::fprintf(stderr, "bench_end_to_end: lpadmin failed for %s\n", queueName(kind, path).c_str());
                return 1;
            }
    // Queues are set up long before their jobs come: a PPD written within
    // the last two seconds is read again for every job.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    for (DataPath path : paths) {
        const char* pathName = path == DataPath::SpoolFile ? "spool file" : "standard input";
        std::vector<std::vector<double>> latencies = AlternatingLatencies(
            world, {queueName(QueueKind::Tracked, path), queueName(QueueKind::Plain, path)}, settings.jobs);
        if (latencies.empty()) {
            std::printf("   %-15s FAILED\n", pathName);
            ++failures;
            continue;
        }
        std::printf("   tracked %-15s %s\n", pathName, Describe(latencies[0]).c_str());
        std::printf("   plain   %-15s %s\n", pathName, Describe(latencies[1]).c_str());
        std::printf("   tracked/plain   %-15s %.2f (medians)\n", pathName, Median(latencies[0]) / Median(latencies[1]));
    }

    std::printf("\n2. %d jobs at once, one on each of %d queues (spool file)\n", settings.parallel, settings.parallel);
    for (QueueKind kind : {QueueKind::Tracked, QueueKind::Plain}) {
        std::vector<std::string> queues;
        for (int i = 0; i < settings.parallel; ++i) {
            queues.push_back(std::string(kind == QueueKind::Tracked ? "ParallelTracked" : "ParallelPlain")
                             + std::to_string(i));
            if (!world.AddQueue(queues.back(), kind, DataPath::SpoolFile)) {
                std::fprintf(stderr, "bench_end_to_end: lpadmin failed for %s\n", queues.back().c_str());
                return 1;
            }
        }
        ParallelRun(world, queues);  // to warm up
        auto [wall, each] = ParallelRun(world, queues);
        std::printf("   %-7s all done after %7.1f ms; each job: %s\n", kind == QueueKind::Tracked ? "tracked" : "plain",
                    wall, each.empty() ? "FAILED" : Describe(each).c_str());
        failures += each.empty() ? 1 : 0;
    }

    std::printf("\n3. One job of %ld MiB on standard input, parsed and printed through the hook\n", settings.bigMib);
    // Free, so that its thousands of pages fit the stand-in user's balance.
    world.ScriptRules(EndToEnd::Tracking::Silently, 0.0, 0.0);
    int held = world.Cupsd().SubmitJob("Tracked_Stdin", CVK_SAMPLE_JOB, {"-o", "raw", "-H", "hold", "-t", "big job"});
    if (held <= 0) {
        std::fprintf(stderr, "bench_end_to_end: the held job could not be submitted\n");
        return 1;
    }
    BigJobResult big = RunBigJob(world, held, std::string(EndToEndWorld::TrackedScheme) + "://printer.example/Tracked_Stdin",
                                 settings.bigMib);
    // A throughput means something only when every byte fed reached the
    // wrapped backend and the job was recorded.
    auto job = world.ServerJob(held);
    const bool bigWorked = big.status == 0 && big.fed > 0 && big.counted == std::to_string(big.fed) && job.has_value();
    if (bigWorked)
        std::printf("   hook exit status %d, peak resident memory %.1f MiB, %.1f s (%.0f MiB/s)\n", big.status,
                    static_cast<double>(big.peakKib) / 1024.0, big.seconds,
                    static_cast<double>(big.fed) / 1048576.0 / big.seconds);
    else
        std::printf("   FAILED: hook exit status %d, peak resident memory %.1f MiB, %.1f s\n", big.status,
                    static_cast<double>(big.peakKib) / 1024.0, big.seconds);
    std::printf("   fed %llu bytes; the wrapped backend received %s bytes\n", big.fed,
                big.counted.empty() ? "no" : big.counted.c_str());
    if (job)
        std::printf("   the server received %d mono and %d colour pages\n", job->monoPages, job->colourPages);
    else
        std::printf("   the server received no record of the job\n");
    failures += bigWorked ? 0 : 1;
    world.StopClient();
    if (failures > 0)
        std::fprintf(stderr, "bench_end_to_end: %d of the measurements failed; their figures mean nothing\n", failures);
    return failures > 0 ? 1 : 0;
}
