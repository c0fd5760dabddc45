#include "bench/BenchJobs.h"

#include "PrinterLanguageParser/Parser/CRawDataHandler.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace BenchJobs {
namespace {

// The seconds of the fastest of a few memchr scans of the job.
double ScanSeconds(const Job& job)
{
    double best = 0;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(CountFormFeeds(job));
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (run == 0 || seconds < best)
            best = seconds;
    }
    return best;
}

}  // namespace

void Put(Job& job, std::string_view text)
{
    job.insert(job.end(), text.begin(), text.end());
}

Job ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Job((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

size_t CountFormFeeds(const Job& job)
{
    size_t found = 0;
    const unsigned char* position = job.data();
    const unsigned char* end = job.data() + job.size();
    while (position < end) {
        const void* next = std::memchr(position, '\f', static_cast<size_t>(end - position));
        if (next == nullptr)
            break;
        ++found;
        position = static_cast<const unsigned char*>(next) + 1;
    }
    return found;
}

void ParseJob(benchmark::State& state, const Job& job)
{
    if (job.empty()) {
        state.SkipWithError("no job data");
        return;
    }
    const double scanSeconds = ScanSeconds(job);
    int pages = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        RawPrintData::CRawDataHandler handler(RawPrintData::LANGUAGE_UNKNOWN);
        for (size_t position = 0; position < job.size(); position += ChunkSize) {
            if (handler.ParseData(job.data() + position, std::min(ChunkSize, job.size() - position)) < 0)
                state.SkipWithError("parse failed");
        }
        handler.ParseDone();
        pages = handler.GetTotalPageCount();
        benchmark::DoNotOptimize(pages);
    }
    const double parseSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                                static_cast<double>(state.iterations());
    state.counters["pages"] = pages;
    state.counters["vs_memchr"] = scanSeconds / parseSeconds;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * job.size()));
}

void ScanJob(benchmark::State& state, const Job& job)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(CountFormFeeds(job));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * job.size()));
}

std::function<const Job&()> MadeOnce(std::function<Job()> make)
{
    return [make = std::move(make), cached = std::make_shared<Job>()]() -> const Job& {
        if (cached->empty())
            *cached = make();
        return *cached;
    };
}

}  // namespace BenchJobs
