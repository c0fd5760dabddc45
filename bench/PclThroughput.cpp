// ParseData throughput of the PCL 5, PCL XL and ESC/P parsers over large jobs
// fed in 64 KiB chunks (the read size of the hook): generated ones, and real
// driver output (the test fixtures of Ghostscript's ljet4, cdj550 and lj5gray,
// and of Epson drivers, and a document rendered with cdj550) repeated to the
// same size. Next to each parse, a plain read of the same bytes: a memcpy of
// each chunk and a memchr scan for form feeds.
// Each parse also reports vs_memchr, its speed as a share of a memchr scan of
// the same job timed in the same process just before, which moves less with
// the machine's load than the absolute figures.

#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "bench/BenchJobs.h"

#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

using namespace RawPrintData;

namespace {

constexpr size_t PCL_JOB_SIZE = 64 * 1024 * 1024;

using BenchJobs::Job;
using BenchJobs::Put;

// Appends a number in decimal.
void PutNumber(Job& job, unsigned long number)
{
    Put(job, std::to_string(number));
}

// Appends a PCL XL number of 1, 2 or 4 bytes, little-endian.
void PutLittle(Job& job, uint32_t value, int size)
{
    for (int index = 0; index < size; ++index)
        job.push_back(static_cast<unsigned char>(value >> (8 * index)));
}

// Raster data that looks like compressed rows: every byte value, form feeds
// and escapes included.
void PutRasterBytes(Job& job, size_t length, uint32_t& seed)
{
    for (size_t index = 0; index < length; ++index) {
        seed = seed * 1103515245u + 12345u;
        job.push_back(static_cast<unsigned char>(seed >> 16));
    }
}

// PCL 5 pages of 600 dpi raster rows of 640 bytes each, as a driver sends them.
Job Pcl5RasterJob()
{
    Job job;
    job.reserve(PCL_JOB_SIZE + 4096);
    uint32_t seed = 1;
    Put(job, "\x1B" "E\x1B&l26a1X\x1B*t600R");
    while (job.size() < PCL_JOB_SIZE) {
        Put(job, "\x1B*p0x0Y\x1B*r1A\x1B*b0M");
        for (int row = 0; row < 6600 && job.size() < PCL_JOB_SIZE; ++row) {
            Put(job, "\x1B*b640W");
            PutRasterBytes(job, 640, seed);
        }
        Put(job, "\x1B*rB\f");
    }
    return job;
}

// PCL 5 text pages: cursor moves, font selections and short words.
Job Pcl5TextJob()
{
    Job job;
    job.reserve(PCL_JOB_SIZE + 4096);
    Put(job, "\x1B" "E\x1B&l2a0o1X");
    unsigned long line = 0;
    while (job.size() < PCL_JOB_SIZE) {
        Put(job, "\x1B*p300x");
        PutNumber(job, 100 + (line % 60) * 50);
        Put(job, "Y\x1B(s0p12h10v0s0b3T");
        for (int word = 0; word < 8; ++word) {
            Put(job, "\x1B*p+40X");
            Put(job, word % 2 == 0 ? "account" : "page");
        }
        Put(job, "\x1B&a0C\r\n");
        if (++line % 60 == 0)
            Put(job, "\f");
    }
    return job;
}

// A PCL XL stream header and session start.
void PutPxlHeader(Job& job)
{
    Put(job, ") HP-PCL XL;2;0;Comment benchmark\n");
    Put(job, std::string_view("\xD1\x58\x02\x58\x02\xF8\x89\xC0\x00\xF8\x86\x41", 12));  // BeginSession
}

// PCL XL pages of images sent in blocks of 4 KiB of embedded data.
Job PxlRasterJob()
{
    Job job;
    job.reserve(PCL_JOB_SIZE + 8192);
    uint32_t seed = 2;
    PutPxlHeader(job);
    while (job.size() < PCL_JOB_SIZE) {
        Put(job, std::string_view("\xC0\x02\xF8\x25\xC0\x00\xF8\x28\x43", 9));  // BeginPage A4
        Put(job, std::string_view("\xC0\x02\xF8\x03\x6A\xB0", 6));              // SetColorSpace RGB, BeginImage
        for (int block = 0; block < 256 && job.size() < PCL_JOB_SIZE; ++block) {
            Put(job, std::string_view("\xC1\x00\x00\xF8\x6D\xC1\x08\x00\xF8\x63\xB1\xFA", 12));  // ReadImage
            PutLittle(job, 4096, 4);
            PutRasterBytes(job, 4096, seed);
        }
        Put(job, std::string_view("\xB2\x44", 2));  // EndImage, EndPage
    }
    return job;
}

// PCL XL pages of vector drawing: cursor moves and lines with xy pairs.
Job PxlVectorJob()
{
    Job job;
    job.reserve(PCL_JOB_SIZE + 4096);
    PutPxlHeader(job);
    uint32_t step = 0;
    while (job.size() < PCL_JOB_SIZE) {
        Put(job, std::string_view("\xC0\x02\xF8\x25\x43\xC0\x01\xF8\x03\x6A", 10));  // BeginPage, SetColorSpace grey
        for (int path = 0; path < 5000; ++path, ++step) {
            Put(job, std::string_view("\x85", 1));  // NewPath
            job.push_back(0xD3);                    // sint16 xy: SetCursor
            PutLittle(job, step % 4000, 2);
            PutLittle(job, step % 6000, 2);
            Put(job, std::string_view("\xF8\x4C\x6B", 3));
            job.push_back(0xD3);  // LinePath
            PutLittle(job, (step * 7) % 4000, 2);
            PutLittle(job, (step * 3) % 6000, 2);
            Put(job, std::string_view("\xF8\x4C\x73\x6C", 4));  // EndPoint, LinePath, PaintPath
        }
        Put(job, "\x44");
    }
    return job;
}

// A committed driver job repeated to the size of the generated ones; empty
// when the file cannot be read.
Job RepeatedFixture(const char* name)
{
    const Job once = BenchJobs::ReadFile(std::string(CVK_PCL_FIXTURES "/") + name);
    Job job;
    if (once.empty())
        return job;
    job.reserve(PCL_JOB_SIZE + once.size());
    while (job.size() < PCL_JOB_SIZE)
        job.insert(job.end(), once.begin(), once.end());
    return job;
}

Job Ljet4Job()
{
    return RepeatedFixture("ljet4.pcl");
}

Job Cdj550Job()
{
    return RepeatedFixture("cdj550.pcl");
}

// Ghostscript's PCL XL (its lj5gray device) of the driver corpus: text as
// glyph downloads, lines and images.
Job PxlGhostscriptJob()
{
    return RepeatedFixture("drivers/gs-lj5gray.pxl");
}

// Ghostscript's cdj550 output of a document of three A4 pages at 300 dpi (a
// colour picture under text, text with one blue line, a grey picture printed
// with the three inks), rendered when first needed and repeated to the same
// size: pages of real size, whose colour planes are read row by row until
// colour is found, unlike the fixture's pages of a few dozen rows. Empty
// when Ghostscript cannot render it.
Job Cdj550DocumentJob()
{
    char path[] = "/tmp/cvk-bench-cdj550-XXXXXX";
    const int descriptor = mkstemp(path);
    if (descriptor < 0)
        return {};
    close(descriptor);
    const std::string output = std::string("-sOutputFile=") + path;
    const pid_t child = fork();
    if (child == 0) {
        execlp("gs", "gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=cdj550", "-r300", "-sPAPERSIZE=a4",
               output.c_str(), CVK_BENCH_DATA "/colour-document.ps", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const Job once = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? BenchJobs::ReadFile(path) : Job{};
    unlink(path);
    Job job;
    while (!once.empty() && job.size() < PCL_JOB_SIZE)
        job.insert(job.end(), once.begin(), once.end());
    return job;
}

// Epson driver output of the same folder: Gutenprint's ESC/P 2 (remote mode,
// run-length encoded ESC i raster) and Ghostscript's ESC/Page (GS commands
// with bit images).
Job EscP2C86Job()
{
    return RepeatedFixture("escp-corpus/gutenprint-escp2-c86.prn");
}

Job EscPageJob()
{
    return RepeatedFixture("escp-corpus/gs-escpage.prn");
}

// Copies the job chunk by chunk: the cost of merely moving the bytes.
void CopyJob(benchmark::State& state, const Job& job)
{
    std::vector<unsigned char> chunk(BenchJobs::ChunkSize);
    for (auto _ : state) {
        for (size_t position = 0; position < job.size(); position += BenchJobs::ChunkSize) {
            const size_t length = std::min(BenchJobs::ChunkSize, job.size() - position);
            std::memcpy(chunk.data(), job.data() + position, length);
            benchmark::DoNotOptimize(chunk.data());
            benchmark::ClobberMemory();
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * job.size()));
}

// Registers the parse, copy and scan of one job, made when first needed.
void RegisterJob(const char* name, Job (*make)())
{
    auto job = BenchJobs::MadeOnce(make);
    const std::string prefix(name);
    benchmark::RegisterBenchmark((prefix + "/parse").c_str(), [job](benchmark::State& state) { BenchJobs::ParseJob(state, job()); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((prefix + "/memcpy").c_str(), [job](benchmark::State& state) { CopyJob(state, job()); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((prefix + "/memchr").c_str(), [job](benchmark::State& state) { BenchJobs::ScanJob(state, job()); })
        ->Unit(benchmark::kMillisecond);
}

const bool registered = [] {
    RegisterJob("BM_Pcl5Raster", &Pcl5RasterJob);
    RegisterJob("BM_Pcl5Text", &Pcl5TextJob);
    RegisterJob("BM_Pcl5Ljet4", &Ljet4Job);
    RegisterJob("BM_Pcl5Cdj550", &Cdj550Job);
    RegisterJob("BM_Pcl5Cdj550Document", &Cdj550DocumentJob);
    RegisterJob("BM_PclXlImages", &PxlRasterJob);
    RegisterJob("BM_PclXlVectors", &PxlVectorJob);
    RegisterJob("BM_PclXlLj5gray", &PxlGhostscriptJob);
    RegisterJob("BM_EscP2GutenprintC86", &EscP2C86Job);
    RegisterJob("BM_EscPageEscpage", &EscPageJob);
    return true;
}();

}  // namespace
