// PDF jobs as the hook reads them: fed in chunks, then read whole from the
// kept bytes at ParseDone. The drivers' PDF from the driverless corpus, and
// pictures: grey photos, judged from their JPEG chroma, and a colour one.
#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "PrinterLanguageParser/Parser/JobBytes.h"
#include "bench/BenchJobs.h"
#include "tests/Support/HostilePdf.h"

#include <chrono>
#include <string>
#include <vector>

namespace {

using BenchJobs::Job;

Job FromText(const std::string& text)
{
    return Job(text.begin(), text.end());
}

// Four pages of 12-megapixel photos.
Job Photos(int colourSide)
{
    std::vector<std::string> photos;
    for (int page = 0; page < 4; ++page)
        photos.push_back(TestSupport::HostilePdf::GreyPhotoJpeg(4000, 3000, colourSide));
    return FromText(TestSupport::HostilePdf::PhotoPages(photos, 4000, 3000));
}

void ParsePdf(benchmark::State& state, const Job& job)
{
    if (job.empty()) {
        state.SkipWithError("no job data");
        return;
    }
    const auto scanStart = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(BenchJobs::CountFormFeeds(job));
    const double scanSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - scanStart).count();
    int pages = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        RawPrintData::CRawDataHandler handler(RawPrintData::LANGUAGE_UNKNOWN);
        const RawPrintData::MemoryJobBytes bytes(job);
        handler.SetJobBytes(&bytes);
        for (size_t position = 0; position < job.size(); position += BenchJobs::ChunkSize)
            handler.ParseData(job.data() + position, std::min(BenchJobs::ChunkSize, job.size() - position));
        if (handler.ParseDone() < 0)
            state.SkipWithError("parse failed");
        pages = handler.GetTotalPageCount();
    }
    const double parseSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                                static_cast<double>(state.iterations());
    state.counters["pages"] = pages;
    state.counters["vs_memchr"] = scanSeconds / parseSeconds;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * job.size()));
}

void Register(const char* name, std::function<Job()> make)
{
    auto job = BenchJobs::MadeOnce(std::move(make));
    benchmark::RegisterBenchmark(name, [job](benchmark::State& state) { ParsePdf(state, job()); })
        ->Unit(benchmark::kMillisecond);
}

const bool registered = [] {
    Register("BM_PdfGhostscript", [] { return BenchJobs::ReadFile(CVK_DRIVERLESS_FIXTURES "/gs-five.pdf"); });
    Register("BM_PdfCairo", [] { return BenchJobs::ReadFile(CVK_DRIVERLESS_FIXTURES "/cairo-five.pdf"); });
    Register("BM_PdfPdftopdfNup", [] { return BenchJobs::ReadFile(CVK_DRIVERLESS_FIXTURES "/pdftopdf-nup2.pdf"); });
    Register("BM_PdfGreyPhotos", [] { return Photos(0); });
    Register("BM_PdfColourPhotos", [] { return Photos(64); });
    return true;
}();

}  // namespace
