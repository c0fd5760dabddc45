#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// What the parser benchmarks share: a job's bytes, the memchr scan that every
// parse is measured against, and the parse of a job in chunks.
namespace BenchJobs {

using Job = std::vector<unsigned char>;

// The chunk size in which the hook hands a job to the parser.
inline constexpr size_t ChunkSize = 64 * 1024;

// Appends text to a job.
void Put(Job& job, std::string_view text);

// A file's bytes; empty when it cannot be read.
Job ReadFile(const std::string& path);

// The form feeds of a job counted with memchr: the cost of looking at every
// byte once.
size_t CountFormFeeds(const Job& job);

// Feeds the job through a detecting handler in chunks; reports its pages and
// its speed as a share of a memchr scan of the same bytes ("vs_memchr").
void ParseJob(benchmark::State& state, const Job& job);

// Scans the job with memchr.
void ScanJob(benchmark::State& state, const Job& job);

// The job made once, when a benchmark first asks for it.
std::function<const Job&()> MadeOnce(std::function<Job()> make);

}  // namespace BenchJobs
