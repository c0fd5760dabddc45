// Hostile jobs of tens of megabytes: endless raster declarations, huge skip
// counts, sequences and headers that never end. Each must be read in time
// proportional to its size, leaving only a short tail between chunks (so
// memory stays bounded), and still count what it holds.

#include "PrinterLanguageParser/Parser/escp/ESCPParser.h"
#include "PrinterLanguageParser/Parser/pcl5/PCL5Parser.h"
#include "PrinterLanguageParser/Parser/pcl6/PCL6Parser.h"
#include "tests/ParserPcl/ParserFeed.h"
#include "tests/ParserPcl/PxlWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

using namespace RawPrintData;
using namespace ParserTestSupport;

namespace {

// Jobs that announce data are skipped by count and can be large; jobs made of
// endless small commands cost a little per command and stay smaller, so that
// the whole suite runs in seconds under the sanitizers.
constexpr size_t LARGE_JOB = 32 * 1024 * 1024;
constexpr size_t DENSE_JOB = 1024 * 1024;
constexpr size_t CHUNK_SIZE = 64 * 1024;
// The longest tail any of these jobs may leave: a cut command, never the data.
constexpr uint64_t LONGEST_TAIL = 4096;
// Far above what a linear parse of one job takes even under sanitizers, far
// below what re-reading the data chunk after chunk would take.
constexpr auto TIME_LIMIT = std::chrono::seconds(20);

// How many copies of a piece make up a job of the size.
constexpr size_t Copies(size_t size, size_t pieceSize)
{
    return (size + pieceSize - 1) / pieceSize;
}

// Appends copies of a piece until the job has grown by the size: a block of
// copies is made once and appended whole, which keeps making the job cheap.
void Repeat(Bytes& job, std::string_view piece, size_t size)
{
    const size_t copies = Copies(size, piece.size());
    const size_t perBlock = std::max<size_t>(1, 65536 / piece.size());
    Bytes block;
    for (size_t copy = 0; copy < perBlock; ++copy)
        block.insert(block.end(), piece.begin(), piece.end());
    job.reserve(job.size() + copies * piece.size());
    for (size_t done = 0; done < copies; done += perBlock) {
        const size_t count = std::min(perBlock, copies - done);
        job.insert(job.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(count * piece.size()));
    }
}

struct HostileCase {
    const char* mstrLabel;
    size_t mintSize;
    std::function<std::unique_ptr<IRawDataParser>()> mMakeParser;
    std::function<Bytes(size_t)> mMakeJob;
    size_t mintPages;
};

// The job's start, the piece repeated to the size, and its end.
std::function<Bytes(size_t)> Job(std::string head, std::string piece, std::string tail)
{
    return [head = std::move(head), piece = std::move(piece), tail = std::move(tail)](size_t size) {
        Bytes job = ToBytes(head);
        Repeat(job, piece, size);
        job.insert(job.end(), tail.begin(), tail.end());
        return job;
    };
}

// A PCL XL job: a header, then the piece repeated, then the body's end.
std::function<Bytes(size_t)> PxlJob(std::string piece, std::string tail)
{
    Bytes head = PxlWriter().Data();
    return Job(std::string(head.begin(), head.end()), std::move(piece), std::move(tail));
}

// A PCL XL page in RGB with an image of 65535 x 65535 pixels whose only
// block, of delta rows, announces 4 GiB of data.
std::string PxlHugeDeltaRowImage()
{
    PxlWriter writer;
    writer.Session(600).BeginPage(2).ColorSpace(2);
    writer.UByte(2).Attribute(98).UByte(0).Attribute(100).UInt16(65535).Attribute(108).UInt16(65535).Attribute(107);
    writer.UInt16Pair(4000, 4000).Attribute(103).Operator(0xB0);
    writer.UInt16(0).Attribute(109).UInt16(65535).Attribute(99).UByte(3).Attribute(101).Operator(0xB1);
    writer.Bytes("\xFA\xFF\xFF\xFF\xFF");
    return std::string(writer.Data().begin(), writer.Data().end());
}

// A delta row that changes its first byte and one far away: two pixels of
// a row of 196605 bytes.
std::string DeltaRowOfTwoChanges()
{
    std::string commands = std::string("\x00\x01\x1F", 3) + std::string(770, '\xFF') + std::string("\x00\x02", 2);
    return std::string{static_cast<char>(commands.size() & 0xFF), static_cast<char>(commands.size() >> 8)} + commands;
}

// A new parser of the kind.
template <typename Parser>
std::unique_ptr<IRawDataParser> Make()
{
    return std::make_unique<Parser>();
}

class HostileJob : public testing::TestWithParam<HostileCase> {};

}  // namespace

// Parses the job in 64 KiB chunks, as the hook reads it.
TEST_P(HostileJob, IsReadLinearlyWithAShortTail)
{
    const HostileCase& hostile = GetParam();
    const Bytes job = hostile.mMakeJob(hostile.mintSize);
    ASSERT_GE(job.size(), hostile.mintSize);
    std::unique_ptr<IRawDataParser> parser = hostile.mMakeParser();
    RecordingListener listener;
    parser->AddListener(&listener);

    const auto start = std::chrono::steady_clock::now();
    const FeedResult result = FeedParser(*parser, job, CHUNK_SIZE);
    const auto elapsed = std::chrono::steady_clock::now() - start;

    EXPECT_GE(result.mintLastResult, PARSE_RESULT_HANDLED);
    EXPECT_NE(result.mintLastResult, PARSE_RESULT_SWITCH_LANGUAGE);
    EXPECT_LE(result.mintLongestTail, LONGEST_TAIL);
    EXPECT_EQ(listener.mvecPages.size(), hostile.mintPages);
    EXPECT_LT(elapsed, TIME_LIMIT);
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, HostileJob,
    testing::Values(
        // PCL 5
        HostileCase{"pcl5_raster_row_longer_than_the_job", LARGE_JOB, &Make<PCL5::PCL5Parser>,
                    Job("\x1B*b2147483647W", "\f\x1B*b5W", "\f"), 0},
        HostileCase{"pcl5_endless_empty_raster_rows", DENSE_JOB, &Make<PCL5::PCL5Parser>, Job("", "\x1B*b0W", "\f"), 1},
        HostileCase{"pcl5_endless_combined_sequence_with_data", DENSE_JOB, &Make<PCL5::PCL5Parser>,
                    Job("\x1B*b", "1w\f", "0Y\f"), 1},
        HostileCase{"pcl5_endless_value_digits", LARGE_JOB, &Make<PCL5::PCL5Parser>, Job("\x1B&l", "1234567890", "X\f"), 1},
        HostileCase{"pcl5_endless_huge_counts", LARGE_JOB, &Make<PCL5::PCL5Parser>,
                    Job("", "\x1B*b99999999999999999999999999999w\x1B&l-99999999999999999999X", "\f"), 0},
        // ESC/P
        HostileCase{"escp_run_length_block_of_4_GiB", LARGE_JOB, &Make<ESCP::ESCPParser>,
                    Job(std::string("\x1Bi\x00\x03\x01\x00\x00\x00\x00\x00\xFF\xFF\xFF\xFF", 14),
                        std::string("\x7F") + std::string(128, '\f'), "\f"),
                    0},
        HostileCase{"escp_run_length_units_never_matching", DENSE_JOB, &Make<ESCP::ESCPParser>,
                    Job("", std::string("\x1Bi\x00\x01\x01\x03\x00\x01\x00\xF0\f\f", 12), "\f"), 1 + Copies(DENSE_JOB, 12)},
        HostileCase{"escp_raw_block_of_4_GiB", LARGE_JOB, &Make<ESCP::ESCPParser>,
                    Job(std::string("\x1Bi\x00\x00\x01\xFF\xFF\xFF\xFF", 9), "\f\x1B", "\f"), 0},
        HostileCase{"escp_remote_mode_without_end", LARGE_JOB, &Make<ESCP::ESCPParser>,
                    Job(std::string("\x1B(R\x08\x00\x00REMOTE1", 13), std::string("\f\x1B\x00\x00", 4), "\f"), 0},
        HostileCase{"escp_endless_command_chain", LARGE_JOB, &Make<ESCP::ESCPParser>, Job("\x1Bx", "ABC", "\r\f"), 1},
        // PCL XL
        HostileCase{"pxl_embedded_data_of_4_GiB", LARGE_JOB, &Make<PCL6::PCL6Parser>,
                    PxlJob("\xFA\xFF\xFF\xFF\xFF", "\x44"), 0},
        HostileCase{"pxl_attributes_without_operator", DENSE_JOB, &Make<PCL6::PCL6Parser>,
                    PxlJob("\xC0\x02\xF8\x25", "\x43\x44"), 1},
        HostileCase{"pxl_endless_large_arrays", LARGE_JOB, &Make<PCL6::PCL6Parser>,
                    PxlJob(std::string("\xC8\xC1\xFF\xFF", 4) + std::string(65535, '\x44'), "\x43\x44"), 1},
        HostileCase{"pxl_delta_rows_changing_two_far_pixels", LARGE_JOB, &Make<PCL6::PCL6Parser>,
                    Job(PxlHugeDeltaRowImage(), DeltaRowOfTwoChanges(), "\x44"), 0},
        HostileCase{"pxl_endless_palettes", LARGE_JOB, &Make<PCL6::PCL6Parser>,
                    PxlJob(std::string("\xC0\x02\xF8\x03\xC8\xC1\x00\x04", 8) + std::string(1024, '\x44') + "\xF8\x06\x6A",
                           "\x43\x44"),
                    1},
        HostileCase{"pxl_header_without_line_feed", DENSE_JOB, &Make<PCL6::PCL6Parser>, Job(") HP-PCL XL", "x", "\x44"), 1}),
    [](const testing::TestParamInfo<HostileCase>& info) { return info.param.mstrLabel; });
