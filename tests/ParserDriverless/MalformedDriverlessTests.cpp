// Broken driverless jobs: each gives a clear failure (so the client counts
// the job by other means) or what can still be read of it, never a crash, a
// hang or memory in the size a header claims.

#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "PrinterLanguageParser/Parser/JobBytes.h"
#include "tests/Parser/ExpectedPageSets.h"
#include "tests/Parser/ParseOutcome.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <functional>
#include <string>

using namespace RawPrintData;
using namespace ParserTestSupport;

namespace {

using TestSupport::operator<<;

Bytes Corpus(const char* file)
{
    return ReadJobFile(std::string(CVK_TEST_DATA_DIR "/") + file);
}

// Overwrites bytes at an offset from the start (or, negative, the end).
Bytes Patched(Bytes job, long offset, std::string_view bytes)
{
    const size_t at = offset >= 0 ? static_cast<size_t>(offset) : job.size() - static_cast<size_t>(-offset);
    std::copy(bytes.begin(), bytes.end(), job.begin() + static_cast<long>(at));
    return job;
}

// A big-endian 32-bit number as bytes.
std::string BigEndian32(uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

// The job cut at a distance from where the header of a page (from 1) begins;
// each PWG page header begins with the sync word's "PwgRaster".
Bytes CutAtPageHeader(Bytes job, int page, long distance)
{
    const std::string text(job.begin(), job.end());
    size_t header = std::string::npos;
    for (int seen = 0; seen < page; ++seen)
        header = text.find("PwgRaster", header == std::string::npos ? 0 : header + 1);
    if (header == std::string::npos)
        return {};
    job.resize(static_cast<size_t>(static_cast<long>(header) + distance));
    return job;
}

struct MalformedCase {
    const char* Name;
    std::function<Bytes()> mMake;
    ParseDataResultType mintDone;
    int mintPages;  // pages still counted
    int mintColorPages = -1;  // of them colour, when the case tells
};

// Offsets into the PWG page header: cupsBytesPerLine and cupsHeight.
constexpr long PWG_BYTES_PER_LINE = 4 + 392;
constexpr long PWG_HEIGHT = 4 + 376;

const MalformedCase MALFORMED[] = {
    // qpdf rebuilds the cross-reference table of a file whose table is lost.
    {"pdf_bad_xref", [] { return Patched(Corpus("gs-five.pdf"), -12, "99999999"); }, PARSE_RESULT_HANDLED, 5},
    {"pdf_only_its_header", [] { return ToBytes("%PDF-1.7\n%garbage"); }, PARSE_RESULT_FAILURE, 0},
    {"pdf_with_a_password",
     [] {
         // A user password other than the empty one: qpdf cannot open it.
         Bytes job = Corpus("qpdf-encrypted.pdf");
         const std::string text(job.begin(), job.end());
         const size_t user = text.find("/U <");
         return user == std::string::npos ? Bytes{} : Patched(job, static_cast<long>(user + 4), "00");
     },
     PARSE_RESULT_FAILURE, 0},
    // The printer prints the pages before the cut, and the one cut in its
    // lines as far as it goes.
    {"pwg_cut_in_the_lines_of_page_2", [] { return CutAtPageHeader(Corpus("gs-five-srgb.pwg"), 3, -10); },
     PARSE_RESULT_FAILURE, 2},
    // A grey page cut in its lines may have held colour further down.
    {"pwg_cut_in_the_lines_of_page_1", [] { return CutAtPageHeader(Corpus("gs-five-srgb.pwg"), 2, -10); },
     PARSE_RESULT_FAILURE, 1, 1},
    {"pwg_cut_in_the_header_of_page_3", [] { return CutAtPageHeader(Corpus("gs-five-srgb.pwg"), 3, 100); },
     PARSE_RESULT_HANDLED, 2},
    {"pwg_absurd_line_length",
     [] { return Patched(Corpus("gs-five-srgb.pwg"), PWG_BYTES_PER_LINE, BigEndian32(0x7FFFFFF0)); },
     PARSE_RESULT_FAILURE, 0},
    {"pwg_absurd_height",
     [] { return Patched(Corpus("gs-five-srgb.pwg"), PWG_HEIGHT, BigEndian32(0xFFFFFFFF)); }, PARSE_RESULT_FAILURE,
     1},
    {"pwg_sync_word_only", [] { return ToBytes("RaS2"); }, PARSE_RESULT_FAILURE, 0},
    {"urf_header_only", [] { return ToBytes(std::string("UNIRAST\0\0\0\0\x05", 12)); }, PARSE_RESULT_FAILURE, 0},
};

class MalformedDriverlessJob : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedDriverlessJob, FailsClearlyOrCountsWhatItCanRead)
{
    const MalformedCase& test = GetParam();
    const Bytes job = test.mMake();
    ASSERT_FALSE(job.empty());
    const ParseOutcome outcome = ParseWhole(job);
    EXPECT_EQ(outcome.mintDoneResult, test.mintDone) << outcome.Describe();
    EXPECT_EQ(outcome.mintMonoPages + outcome.mintColorPages, test.mintPages) << outcome.Describe();
    if (test.mintColorPages >= 0) {
        EXPECT_EQ(outcome.mintColorPages, test.mintColorPages) << outcome.Describe();
    }
}

INSTANTIATE_TEST_SUITE_P(Jobs, MalformedDriverlessJob, testing::ValuesIn(MALFORMED), TestSupport::CaseName());

// A handler that was given no job bytes cannot read a PDF, and says so.
TEST(WholeJobFormats, FailWithoutTheJobsBytes)
{
    const Bytes job = Corpus("gs-five.pdf");
    CRawDataHandler handler;
    ASSERT_EQ(handler.ParseData(job.data(), job.size()), PARSE_RESULT_HANDLED);
    EXPECT_EQ(handler.ParseDone(), PARSE_RESULT_FAILURE);
    EXPECT_EQ(handler.GetTotalPageCount(), 0);
}

// A page whose few compressed bytes decode to more than the reader would
// hold (a colour page of 80 MiB of content) is read as it streams past,
// never held, and counted as the colour page it is.
TEST(WholeJobFormats, ContentThatDecodesToTooMuchIsNotHeld)
{
    QPDF pdf;
    pdf.processFile(CVK_TEST_DATA_DIR "/gs-five.pdf");
    std::string content = "1 0 0 rg 0 0 10 10 re f\n";
    content.resize(80u * 1024u * 1024u, ' ');
    QPDFPageDocumentHelper(pdf).getAllPages()[0].getObjectHandle().replaceKey(
        "/Contents", QPDFObjectHandle::newStream(&pdf, content));
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    const Bytes job(buffer->getBuffer(), buffer->getBuffer() + buffer->getSize());
    ASSERT_LT(job.size(), 1024u * 1024u);

    const ParseOutcome outcome = ParseWhole(job);
    EXPECT_EQ(outcome.mintDoneResult, PARSE_RESULT_HANDLED) << outcome.Describe();
    ExpectPageSets(outcome, {{"A4", 2100, 2970, 2, 3}});
}

}  // namespace
