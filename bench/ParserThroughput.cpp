// ParseData throughput of the parser frame over large generated jobs fed in
// 64 KiB chunks, the read size of the hook.

#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "PrinterLanguageParser/Parser/LanguageSignatures.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

using namespace RawPrintData;

namespace {

constexpr size_t JOB_SIZE = 64 * 1024 * 1024;
constexpr size_t CHUNK_SIZE = 64 * 1024;

// A minimal language of fixed 97-byte records, one page each: its own cost is
// negligible, so the figure is the frame's (buffer, cut records kept across
// chunks, page accounting). 97 is prime, so records are cut at every offset.
class RecordParser final : public IRawDataParser {
public:
    static constexpr uint64_t RECORD = 97;

    ParseDataResultType ParseData(const DataBuffer& buffer) override
    {
        const uint64_t records = buffer.Length() / RECORD;
        for (uint64_t record = 0; record < records; ++record) {
            mPage.mblnColor = buffer[record * RECORD] == 'c';
            NotifyPageCompleted(mPage);
        }
        mintBytesProcessed = records * RECORD;
        return PARSE_RESULT_HANDLED;
    }
    ParseDataResultType ParseDone() override { return PARSE_RESULT_HANDLED; }
    void NotifyDefaultPageCompleted() override {}

private:
    CRawPage mPage = [] {
        CRawPage page;
        page.SetName("A4");
        page.mintWidth = 2100;
        page.mintHeight = 2970;
        return page;
    }();
};

// Appends text to a job.
void Append(std::vector<unsigned char>& job, std::string_view text)
{
    job.insert(job.end(), text.begin(), text.end());
}

// Feeds a job through a new handler in 64 KiB chunks, once per iteration.
void FeedJob(benchmark::State& state, const std::vector<unsigned char>& job, const ParserRegistry& registry)
{
    for (auto _ : state) {
        CRawDataHandler handler(LANGUAGE_UNKNOWN, registry);
        for (size_t position = 0; position < job.size(); position += CHUNK_SIZE) {
            const ParseDataResultType result =
                handler.ParseData(job.data() + position, std::min(CHUNK_SIZE, job.size() - position));
            if (result < 0)
                state.SkipWithError("parse failed");
        }
        handler.ParseDone();
        benchmark::DoNotOptimize(handler.GetTotalPageCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * job.size()));
}

// A skipped language: every chunk is searched for the trailer, whose last
// bytes are kept across chunks.
void BM_SkippedLanguageTrailerSearch(benchmark::State& state)
{
    std::vector<unsigned char> job;
    job.reserve(JOB_SIZE + 64);
    Append(job, LANGUAGE_HEADER_OCE_JOB);
    std::mt19937 random(7);
    while (job.size() < JOB_SIZE)
        job.push_back(static_cast<unsigned char>(random() % 32));  // never spells the trailer
    Append(job, LANGUAGE_TRAILER_OCE_JOB);
    FeedJob(state, job, ParserRegistry::BuiltIn());
}
BENCHMARK(BM_SkippedLanguageTrailerSearch)->Unit(benchmark::kMillisecond);

// Fixed records cut by every chunk border, one page per record.
void BM_PagesWithCutRecords(benchmark::State& state)
{
    std::vector<unsigned char> job;
    job.reserve(JOB_SIZE + RecordParser::RECORD);
    Append(job, LANGUAGE_HEADER_PRESCRIBE);
    job.resize(RecordParser::RECORD, ' ');
    while (job.size() < JOB_SIZE) {
        const size_t start = job.size();
        job.resize(start + RecordParser::RECORD, 'r');
        job[start] = (start / RecordParser::RECORD) % 3 == 0 ? 'c' : 'm';
    }
    ParserRegistry registry = ParserRegistry::BuiltIn();
    registry.Register(LANGUAGE_PRESCRIBE, [] { return std::make_unique<RecordParser>(); });
    FeedJob(state, job, registry);
}
BENCHMARK(BM_PagesWithCutRecords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
