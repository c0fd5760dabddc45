// ParseData throughput of the PostScript parser over large jobs fed in 64 KiB
// chunks (the read size of the hook), next to a memchr scan of the same bytes
// in the same process, so that the ratio of the two is what is compared.
//
// The jobs repeat the pages of real driver output (the fixtures that
// tests/ParserPostscript/data/make-fixtures made with ps2write, pdftops and
// cairo), renumbered, after the fixture's own header and prolog; and a job
// as a Windows driver writes it (text, paths, colour, hex image data). Each
// is also run through the basic counter alone, the "%%Page:" fallback that
// runs over every byte beside the tokenizer.
#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "bench/BenchJobs.h"
#include "PrinterLanguageParser/Parser/postscript/BasicPostscriptParser.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

using namespace RawPrintData;

namespace {

constexpr size_t PS_JOB_SIZE = 64 * 1024 * 1024;

using BenchJobs::Job;
using BenchJobs::Put;

// A fixture's bytes; empty when it cannot be read.
std::string ReadFixture(const std::string& name)
{
    std::ifstream file(std::string(CVK_POSTSCRIPT_FIXTURES) + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// The fixture's header and prolog, then its pages over and over, each
// "%%Page:" comment renumbered, then its trailer.
Job RepeatFixturePages(const std::string& name)
{
    const std::string fixture = ReadFixture(name);
    const size_t first = fixture.find("\n%%Page:");
    const size_t trailer = fixture.find("\n%%Trailer");
    Job job;
    if (first == std::string::npos || trailer == std::string::npos || trailer < first)
        return job;
    job.reserve(PS_JOB_SIZE + fixture.size());
    Put(job, std::string_view(fixture).substr(0, first + 1));
    const std::string_view pages = std::string_view(fixture).substr(first + 1, trailer - first);
    unsigned long ordinal = 0;
    while (job.size() < PS_JOB_SIZE) {
        for (size_t line = 0; line < pages.size();) {
            const size_t end = std::min(pages.find('\n', line), pages.size() - 1) + 1;
            const std::string_view text = pages.substr(line, end - line);
            if (text.starts_with("%%Page:")) {
                const std::string number = std::to_string(++ordinal);
                Put(job, "%%Page: " + number + " " + number + "\n");
            } else {
                Put(job, text);
            }
            line = end;
        }
    }
    Put(job, std::string_view(fixture).substr(trailer + 1));
    return job;
}

// PostScript as a Windows driver writes it: DSC comments, a prolog that is
// skipped, and pages of colour changes, paths, text and hex image data.
Job WindowsDriverJob()
{
    Job job;
    job.reserve(PS_JOB_SIZE + 64 * 1024);
    Put(job, "%!PS-Adobe-3.0\n%%Creator: PScript5.dll Version 5.2.2\n%%Pages: (atend)\n%%EndComments\n"
             "%%BeginProlog\n%%BeginResource: procset Pscript_Win_Basic 5.0 0\n"
             "/LH{showpage}bind def/xS{show}bind def\n%%EndResource\n%%EndProlog\n");
    std::string image;
    std::mt19937 random(11);
    for (int index = 0; index < 4096; ++index)
        image += "0123456789ABCDEF"[random() % 16];
    for (int page = 1; job.size() < PS_JOB_SIZE; ++page) {
        const std::string number = std::to_string(page);
        Put(job, "%%Page: " + number + " " + number + "\n%%PageBoundingBox: 0 0 595 842\n"
                 "gsave 0.2 0.4 0.6 setrgbcolor 72 72 moveto 200 72 lineto 200 300 lineto closepath fill grestore\n");
        for (int line = 0; line < 40; ++line)
            Put(job, "0 0 0 setrgbcolor 72 " + std::to_string(700 - line * 15) +
                         " moveto (The quick brown fox jumps over the lazy dog, line " + std::to_string(line) + ") xS\n");
        Put(job, "gsave 300 300 translate 64 64 scale 64 64 8 [64 0 0 -64 0 64] {currentfile picstr readhexstring pop} "
                 "image\n");
        Put(job, image);
        Put(job, "\ngrestore\nLH\n");
    }
    Put(job, "%%Trailer\n%%EOF\n");
    return job;
}

// Runs the basic counter alone over the job in 64 KiB chunks.
void CountJob(benchmark::State& state, const Job& job)
{
    uint32_t pages = 0;
    for (auto _ : state) {
        Postscript::BasicPostscriptParser counter;
        DataBuffer buffer;
        for (size_t position = 0; position < job.size(); position += BenchJobs::ChunkSize) {
            buffer.SetMainBuffer(job.data() + position, std::min(BenchJobs::ChunkSize, job.size() - position));
            counter.ParseData(buffer);
        }
        pages = counter.GetPostscriptPages();
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = pages;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * job.size()));
}

// Registers the parse, the basic count and the scan of one job, made when
// first needed.
void RegisterJob(const std::string& name, std::function<Job()> make)
{
    auto job = BenchJobs::MadeOnce(make);
    benchmark::RegisterBenchmark((name + "/parse").c_str(), [job](benchmark::State& state) { BenchJobs::ParseJob(state, job()); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/basic_count").c_str(),
                                 [job](benchmark::State& state) { CountJob(state, job()); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/memchr").c_str(), [job](benchmark::State& state) { BenchJobs::ScanJob(state, job()); })
        ->Unit(benchmark::kMillisecond);
}

const bool registered = [] {
    RegisterJob("BM_PostscriptWindowsDriver", &WindowsDriverJob);
    for (const char* fixture : {"ps2write_images", "ps2write_mono_text", "pdftops_images", "pdftops_mono_text",
                                "cairo_images", "cairo_mono_text"})
        RegisterJob(std::string("BM_Postscript/") + fixture,
                    [fixture] { return RepeatFixturePages(std::string(fixture) + ".ps"); });
    return true;
}();

}  // namespace
