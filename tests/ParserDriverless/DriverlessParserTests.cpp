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
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cstdio>
#include <memory>
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

namespace {

// The boxes of every page of a corpus PDF replaced as a tool could write
// them: on the page tree's root (inherited) or on each page.
struct PaperCase {
    const char* Name;
    const char* mstrFile;
    const char* mstrMediaBox;  // on each page; null: the root's alone
    const char* mstrRootMediaBox;
    const char* mstrCropBox;  // null: none
    ExpectedSet mExpected;    // the five pages of five-pages.ps
};

const PaperCase PAPERS[] = {
    {"media_box_inherited_from_the_page_tree", "gs-five.pdf", nullptr, "[0 0 595 842]", nullptr,
     {"A4", 2100, 2970, 3, 2}},
    {"crop_box_smaller_than_the_media_box", "gs-five.pdf", "[0 0 842 1191]", nullptr, "[100 100 712 892]",
     {"Letter", 2159, 2794, 3, 2}},
    {"unknown_size_is_custom", "gs-five.pdf", "[0 0 580 820]", nullptr, nullptr, {"Custom", 2046, 2893, 3, 2}},
    // PCLm's page is the printable area: named after the paper that holds it.
    {"pclm_printable_area", "gs-five.pclm", "[0 0 580 820]", nullptr, nullptr, {"A4", 2100, 2970, 3, 2}},
};

Bytes WithBoxes(const PaperCase& test)
{
    QPDF pdf;
    pdf.processFile((std::string(CVK_TEST_DATA_DIR "/") + test.mstrFile).c_str());
    if (test.mstrRootMediaBox != nullptr)
        pdf.getRoot().getKey("/Pages").replaceKey("/MediaBox", QPDFObjectHandle::parse(test.mstrRootMediaBox));
    for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        QPDFObjectHandle object = page.getObjectHandle();
        if (test.mstrMediaBox != nullptr)
            object.replaceKey("/MediaBox", QPDFObjectHandle::parse(test.mstrMediaBox));
        else
            object.removeKey("/MediaBox");
        if (test.mstrCropBox != nullptr)
            object.replaceKey("/CropBox", QPDFObjectHandle::parse(test.mstrCropBox));
    }
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    // PCLm says what it is in the comment after the PDF header.
    if (std::string_view(test.mstrFile).ends_with(".pclm"))
        writer.setExtraHeaderText("%PCLm 1.0");
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return Bytes(buffer->getBuffer(), buffer->getBuffer() + buffer->getSize());
}

class PdfPaper : public testing::TestWithParam<PaperCase> {};

TEST_P(PdfPaper, ComesFromTheBoxesThePrinterPrints)
{
    const ParseOutcome outcome = ParseWhole(WithBoxes(GetParam()));
    EXPECT_EQ(outcome.mintDoneResult, PARSE_RESULT_HANDLED) << outcome.Describe();
    ExpectPageSets(outcome, {GetParam().mExpected});
}

INSTANTIATE_TEST_SUITE_P(Boxes, PdfPaper, testing::ValuesIn(PAPERS), TestSupport::CaseName());

}  // namespace

namespace {

// An incremental update appended to a corpus PDF, as an editor saves one:
// a new revision of the page tree that drops the last page, found through a
// second cross-reference section whose /Prev leads to the first.
Bytes DroppingTheLastPage(const char* file)
{
    Bytes job = ReadJobFile(std::string(CVK_TEST_DATA_DIR "/") + file);
    QPDF pdf;
    pdf.processMemoryFile(file, reinterpret_cast<const char*>(job.data()), job.size());
    QPDFObjectHandle pages = pdf.getRoot().getKey("/Pages");
    QPDFObjectHandle kids = pages.getKey("/Kids");
    kids.eraseItem(kids.getArrayNItems() - 1);
    pages.replaceKey("/Count", QPDFObjectHandle::newInteger(kids.getArrayNItems()));
    const std::string text(job.begin(), job.end());
    const long long previousXref = std::stoll(text.substr(text.rfind("startxref") + 9));
    const std::string id = std::to_string(pages.getObjectID());
    const std::string object = id + " 0 obj\n" + pages.unparseResolved() + "\nendobj\n";
    const size_t objectOffset = job.size();
    const size_t xrefOffset = objectOffset + object.size();
    char entry[24];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", objectOffset);
    const std::string update = object + "xref\n" + id + " 1\n" + entry + "trailer\n<< /Size " +
                               std::to_string(pdf.getTrailer().getKey("/Size").getIntValue()) + " /Root " +
                               pdf.getTrailer().getKey("/Root").unparse() + " /Prev " +
                               std::to_string(previousXref) + " >>\nstartxref\n" + std::to_string(xrefOffset) +
                               "\n%%EOF\n";
    job.insert(job.end(), update.begin(), update.end());
    return job;
}

}  // namespace

TEST(PdfRevisions, TheLatestIncrementalUpdateCounts)
{
    const ParseOutcome outcome = ExpectChunkInvariant(DroppingTheLastPage("gs-five.pdf"));
    EXPECT_EQ(outcome.mintDoneResult, PARSE_RESULT_HANDLED) << outcome.Describe();
    ExpectPageSets(outcome, {{"A4", 2100, 2970, 2, 2}});
}
