// What CUPS hands the backend of a driverless queue (PDF from pdftopdf, PCLm,
// PWG Raster, Apple Raster), made by the Debian tools that write it (see
// data/make-corpus.sh and data/corpus.txt), each with what the hook must
// report for it, parsed in every chunking the harness tries.

#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "tests/Parser/ChunkInvariance.h"
#include "tests/Parser/ExpectedPageSets.h"
#include "tests/Parser/ParseOutcome.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace RawPrintData;
using namespace ParserTestSupport;

namespace {

using TestSupport::operator<<;

struct CorpusCase {
    const char* Name;
    const char* mstrFile;
    std::vector<ExpectedSet> mvecPageSets;
    unsigned long mintCopies = 1;
    bool mblnDuplex = false;
};

// five-pages.ps colours pages 2 and 4; three-small.ps has black text on A4, a
// red square on A4 and black text on Letter.
const std::vector<ExpectedSet> FIVE_A4 = {{"A4", 2100, 2970, 3, 2}};
const std::vector<ExpectedSet> FIVE_A4_MONO = {{"A4", 2100, 2970, 5, 0}};
const std::vector<ExpectedSet> THREE_SMALL = {{"A4", 2100, 2970, 1, 1}, {"Letter", 2159, 2794, 1, 0}};
const std::vector<ExpectedSet> THREE_SMALL_MONO = {{"A4", 2100, 2970, 2, 0}, {"Letter", 2159, 2794, 1, 0}};

const CorpusCase CORPUS[] = {
    {"gs_pdfwrite", "gs-five.pdf", FIVE_A4},
    {"gs_pdfwrite_mixed_sizes", "gs-three.pdf", THREE_SMALL},
    // cairo paints black as "0 0 0 rg" and gives every page a DeviceRGB group.
    {"cairo", "cairo-five.pdf", FIVE_A4},
    {"qpdf_object_streams", "qpdf-objstm.pdf", FIVE_A4},
    {"qpdf_linearised", "qpdf-linear.pdf", THREE_SMALL},
    {"qpdf_encrypted_empty_password", "qpdf-encrypted.pdf", FIVE_A4},
    // Turned pages print on the same sheets.
    {"qpdf_rotate", "qpdf-rotate.pdf", THREE_SMALL},
    // Two pages a sheet: 1+2 and 3+4 hold colour, 5 alone is mono.
    {"pdftopdf_number_up_2", "pdftopdf-nup2.pdf", {{"A4", 2100, 2970, 1, 2}}},
    {"pdftopdf_page_ranges", "pdftopdf-ranges.pdf", {{"A4", 2100, 2970, 1, 2}}},
    {"pdftopdf_page_set_odd", "pdftopdf-odd.pdf", {{"A4", 2100, 2970, 3, 0}}},
    {"pdftopdf_fit_to_letter", "pdftopdf-letter-fit.pdf", {{"Letter", 2159, 2794, 3, 2}}},
    // pdftopdf's own copies are pages of the data: counted there, once.
    {"pdftopdf_copies_2", "pdftopdf-copies2.pdf", {{"A4", 2100, 2970, 6, 4}}},
    // ... and for two-sided printing each copy is padded with a blank page.
    {"pdftopdf_copies_2_two_sided", "pdftopdf-copies2-duplex.pdf", {{"A4", 2100, 2970, 8, 4}}},
    // PCLm pages are strips of RGB images: colour where a pixel is.
    {"gs_pclm", "gs-five.pclm", FIVE_A4},
    {"gs_pclm8_grey", "gs-five-grey.pclm", FIVE_A4_MONO},
    {"gs_pwgraster_srgb", "gs-five-srgb.pwg", FIVE_A4},
    {"gs_pwgraster_black", "gs-five-black.pwg", FIVE_A4_MONO},
    {"gs_pwgraster_sgray_mixed_sizes", "gs-three-sgray.pwg", THREE_SMALL_MONO},
    {"gs_pwgraster_srgb16_duplex", "gs-three-srgb16-duplex.pwg", THREE_SMALL, 1, true},
    {"gs_pwgraster_cmyk_copies_2", "gs-five-cmyk-copies2.pwg", FIVE_A4, 2},
    {"pdftoraster_color", "pdftoraster-color.pwg", FIVE_A4},
    {"gstoraster_monochrome", "gstoraster-mono.pwg", FIVE_A4_MONO},
    {"gstoraster_color", "gstoraster-color.pwg", FIVE_A4},
    // Apple Raster's file header says 0 pages: the page headers count.
    {"gs_urf_srgb", "gs-five-srgb.urf", FIVE_A4},
    {"gs_urf_grey_mixed_sizes", "gs-three-grey.urf", THREE_SMALL_MONO},
};

class DriverlessCorpus : public testing::TestWithParam<CorpusCase> {};

TEST_P(DriverlessCorpus, GivesItsPagesPaperCopiesAndDuplex)
{
    const CorpusCase& test = GetParam();
    const Bytes job = ReadJobFile(std::string(CVK_TEST_DATA_DIR "/") + test.mstrFile);
    ASSERT_FALSE(job.empty()) << test.mstrFile;
    const ParseOutcome outcome = ExpectChunkInvariant(job);
    EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_HANDLED) << outcome.Describe();
    EXPECT_EQ(outcome.mintDoneResult, PARSE_RESULT_HANDLED) << outcome.Describe();
    ExpectPageSets(outcome, test.mvecPageSets);
    EXPECT_EQ(outcome.mintCopies, test.mintCopies);
    EXPECT_EQ(outcome.mblnDuplex, test.mblnDuplex);
}

INSTANTIATE_TEST_SUITE_P(Jobs, DriverlessCorpus, testing::ValuesIn(CORPUS), TestSupport::CaseName());

// A PDF behind a PJL header, announced by ENTER LANGUAGE or not, and closed
// by the universal exit language.
struct PjlCase {
    const char* Name;
    const char* mstrHeader;
};

const PjlCase PJL_WRAPPERS[] = {
    {"enter_language_pdf", "\x1B%-12345X@PJL JOB\r\n@PJL SET COPIES=1\r\n@PJL ENTER LANGUAGE=PDF\r\n"},
    {"pdf_after_pjl_lines", "\x1B%-12345X@PJL JOB NAME=\"report\"\n@PJL SET DUPLEX=ON\n"},
};

class PdfInsidePjl : public testing::TestWithParam<PjlCase> {};

TEST_P(PdfInsidePjl, IsFoundAndCounted)
{
    Bytes job = ToBytes(GetParam().mstrHeader);
    const Bytes pdf = ReadJobFile(CVK_TEST_DATA_DIR "/gs-five.pdf");
    job.insert(job.end(), pdf.begin(), pdf.end());
    const Bytes trailer = ToBytes("\x1B%-12345X@PJL EOJ\r\n\x1B%-12345X");
    job.insert(job.end(), trailer.begin(), trailer.end());
    const ParseOutcome outcome = ExpectChunkInvariant(job);
    EXPECT_EQ(outcome.mintDoneResult, PARSE_RESULT_HANDLED) << outcome.Describe();
    ExpectPageSets(outcome, FIVE_A4);
}

INSTANTIATE_TEST_SUITE_P(Wrappers, PdfInsidePjl, testing::ValuesIn(PJL_WRAPPERS), TestSupport::CaseName());

}  // namespace
