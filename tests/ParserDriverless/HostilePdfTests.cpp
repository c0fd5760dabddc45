// Hostile PDF jobs read within the reader's bounds: what could not be judged
// (a work budget spent, content damaged, nesting too deep) counts as colour
// and is told in one error line naming the page and the reason; an object
// stream too large to hold fails the document. Memory and time are measured
// through the real hook in tests/Hook.

#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "PrinterLanguageParser/Parser/ILogger.h"
#include "PrinterLanguageParser/Parser/JobBytes.h"
#include "tests/Parser/ParseOutcome.h"
#include "tests/Support/HostilePdf.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace RawPrintData;
using namespace ParserTestSupport;
using namespace TestSupport::HostilePdf;

namespace {

using TestSupport::operator<<;

class ErrorLines final : public ILogger {
public:
    void WriteError(const char* text) override { mvecLines.emplace_back(text); }
    void WriteMessage(const char*, LogLevel) override {}
    std::vector<std::string> mvecLines;
};

struct Read {
    int mintMono = 0;
    int mintColor = 0;
    ParseDataResultType mintDone = PARSE_RESULT_HANDLED;
    std::vector<std::string> mvecErrors;
};

Read ReadPdf(const std::string& job)
{
    ErrorLines errors;
    CRawDataHandler handler;
    handler.SetLogger(&errors);
    const Bytes bytes = ToBytes(job);
    const MemoryJobBytes fed(bytes);
    handler.SetJobBytes(&fed);
    Read read;
    EXPECT_GE(handler.ParseData(bytes.data(), bytes.size()), 0);
    read.mintDone = handler.ParseDone();
    handler.GetTotalPageCount(&read.mintMono, &read.mintColor);
    read.mvecErrors = errors.mvecLines;
    return read;
}

// A stream cut in its compressed data.
std::string DamagedContent()
{
    std::string job = ZerosThenRed(1024);
    const size_t stream = job.find("stream\n") + 7;
    job[stream + 20] = static_cast<char>(job[stream + 20] ^ 0x5A);
    return job;
}

struct HostileCase {
    const char* Name;
    std::function<std::string()> mMake;
    int mintMono;
    int mintColor;
    ParseDataResultType mintDone;
    const char* mstrLogged;  // what the one error line tells, or nullptr for none
};

const HostileCase HOSTILE[] = {
    {"red_behind_64_MiB_of_padding", [] { return ZerosThenRed(64 * MiB + 4096); }, 0, 1, PARSE_RESULT_HANDLED, nullptr},
    {"content_of_a_GiB", [] { return ZerosThenRed(1024 * MiB); }, 0, 1, PARSE_RESULT_HANDLED,
     "PDF page 1: work budget of 256 MiB decoded used up"},
    {"twelve_nested_forms_of_60_MiB", [] { return NestedForms(12, 60 * MiB); }, 0, 1, PARSE_RESULT_HANDLED,
     "PDF page 1: work budget of 256 MiB decoded used up"},
    {"forms_nested_too_deep", [] { return NestedForms(14, 0); }, 0, 1, PARSE_RESULT_HANDLED,
     "PDF page 1: forms or patterns nested more than 12 deep"},
    {"one_large_form_on_200_pages", [] { return FormOnEveryPage(200, 60 * MiB); }, 200, 0, PARSE_RESULT_HANDLED,
     nullptr},
    {"damaged_content", DamagedContent, 0, 1, PARSE_RESULT_HANDLED, "PDF page 1: a content stream cannot be decoded"},
    {"object_stream_bomb", [] { return ObjectStreamBomb(1024 * MiB); }, 0, 0, PARSE_RESULT_FAILURE,
     "decodes to more than 8 MiB"},
    {"too_many_objects_to_hold", [] { return TinyPages(20000); }, 0, 0, PARSE_RESULT_FAILURE,
     "objects, more than the 20000 read"},
    {"red_after_a_text_array_of_360_kB",
     [] {
         std::string text;
         for (int word = 0; word < 30000; ++word)
             text += "(word) -250 ";
         return TestSupport::PdfText::Pages({"BT [" + text + "] TJ ET 1 0 0 rg 0 0 9 9 re f"});
     },
     0, 1, PARSE_RESULT_HANDLED, nullptr},
    {"grey_jpeg", [] { return PhotoPages({GreyPhotoJpeg(640, 480)}, 640, 480); }, 1, 0, PARSE_RESULT_HANDLED, nullptr},
    {"jpeg_with_a_red_square_of_4_pixels", [] { return PhotoPages({GreyPhotoJpeg(640, 480, 4)}, 640, 480); }, 0, 1,
     PARSE_RESULT_HANDLED, nullptr},
    {"grey_jpeg_with_full_chroma", [] { return PhotoPages({GreyPhotoJpeg(640, 480, 0, false)}, 640, 480); }, 1, 0,
     PARSE_RESULT_HANDLED, nullptr},
    {"jpeg_with_full_chroma_and_a_red_square", [] { return PhotoPages({GreyPhotoJpeg(640, 480, 4, false)}, 640, 480); },
     0, 1, PARSE_RESULT_HANDLED, nullptr},
};

class HostilePdf : public testing::TestWithParam<HostileCase> {};

TEST_P(HostilePdf, CountsAsColourWhatCouldNotBeJudged)
{
    const HostileCase& test = GetParam();
    const std::string job = test.mMake();
    ASSERT_LT(job.size(), 2 * MiB);
    const Read read = ReadPdf(job);
    EXPECT_EQ(read.mintDone, test.mintDone);
    EXPECT_EQ(read.mintMono, test.mintMono);
    EXPECT_EQ(read.mintColor, test.mintColor);
    if (test.mstrLogged == nullptr) {
        EXPECT_TRUE(read.mvecErrors.empty()) << read.mvecErrors.front();
    } else {
        ASSERT_EQ(read.mvecErrors.size(), 1u);
        EXPECT_NE(read.mvecErrors[0].find(test.mstrLogged), std::string::npos) << read.mvecErrors[0];
    }
}

INSTANTIATE_TEST_SUITE_P(Jobs, HostilePdf, testing::ValuesIn(HOSTILE), TestSupport::CaseName());

}  // namespace
