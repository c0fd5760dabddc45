#include "PrinterLanguageParser/Parser/postscript/PostscriptKeywordTables.h"

#include "PrinterLanguageParser/Parser/postscript/PostscriptStrategyInstances.h"

#include <array>

namespace RawPrintData::Postscript {

namespace {

using namespace ParserStrategies;

constexpr KeywordEntry BASIC_POSTSCRIPT[] = {
    {"setcolorspace", &SetColorSpace},
    {"setcolor", &SetColor},
    {"setcmykcolor", &SetCmykColor},
    {"setrgbcolor", &SetRgbColor},
    {"sethsbcolor", &SetHsbColor},
    {"setgray", &SetColorSpaceGray},
    {"initgraphics", &SetColorSpaceGray},
    {"gsave", &PushCurrentGraphicsState},
    {"grestore", &PopCurrentGraphicsState},
    {"grestoreall", &PopToSavedGraphicsState},
    {"save", &MarkSavedAndPushCurrentGraphicsState},
    {"restore", &RestoreSavedGraphicsState},
    {"colorimage", &MarkCurrentPageAsColor},
    {"shfill", &MarkCurrentPageAsColor},
    {"image", &CheckIfImageIsColor},
    {"erasepage", &MarkCurrentPageAsMono},
    {"stroke", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"fill", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"eofill", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"rectstroke", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"rectfill", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"ustroke", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"ufill", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"ueofill", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"show", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"ashow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"widthshow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"awidthshow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"xshow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"yshow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"xyshow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"glyphshow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"cshow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"kshow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"showpage", &MoveToNextPage},
    {"copypage", &CopyCurrentPageAndMoveToNextPage},
    {"beginimage", &ForceTokenizerToBase85AndMarkCurrentPageAsColor},
    {"setpagedevice", &SetPageDeviceDictionary},
    {"cvx", &MakePreviousTokenExecuteable},
    {"exec", &IgnoreToken},
};

constexpr KeywordEntry WINDOWS_BASIC[] = {
    {":", &PushCurrentGraphicsState},
    {";", &PopCurrentGraphicsState},
    {"A", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"D", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"O", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"L", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"K", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"S", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"W", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"xS", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"yS", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"zS", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"LH", &MoveToNextPage},
};

constexpr KeywordEntry WINDOWS_L2_UTILS[] = {
    {"rs", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"rf", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"scol", &PopOneThenSetColor},
    {"colspA", &SetColorSpaceGray},
    {"colspABC", &SetColorSpaceRgb},
    {"SetColSpace", &SetColorSpaceRgb},
};

constexpr KeywordEntry WINDOWS_L2_DIB[] = {
    {"doNimage", &ForceTokenizerToBase85},
    {"doCMYKimage", &DoCmykImageAndForceBase85},
    {"doCMYKclutimage", &DoCmykImageAndForceBase85},
    {"doclutimage", &DoRgbImageAndForceBase85},
};

constexpr KeywordEntry ADOBE_AGM_CORE[] = {
    {"rgb", &SetRgbColor},
    {"gry", &SetColorSpaceGray},
    {"cmyk", &SetCmykColor},
    {"colr", &SetColor},
    {"f", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"ef", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"@", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
};

constexpr KeywordEntry ADOBE_COOL_TYPE[] = {
    {"sh", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"xsh", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"ysh", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"xysh", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"ct_xshow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"ct_yshow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"ct_xyshow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
};

constexpr KeywordEntry ADOBE_AGM_IMAGE[] = {
    {"img", &MarkCurrentPageAsColor},
    {"devnimg", &MarkCurrentPageAsColor},
    {"sepimg", &MarkCurrentPageAsColor},
    {"idximg", &MarkCurrentPageAsColor},
    {"ds", &MarkCurrentPageAsColor},
    {"ps", &MarkCurrentPageAsColor},
    {"imageormask", &MarkCurrentPageAsColor},
    {"sep_imageormask", &MarkCurrentPageAsColor},
    {"devn_imageormask", &MarkCurrentPageAsColor},
    {"indexed_imageormask", &MarkCurrentPageAsColor},
};

constexpr KeywordEntry COREL[] = {
    {"@gs", &PushCurrentGraphicsState},
    {"q", &PushCurrentGraphicsState},
    {"@gr", &PopCurrentGraphicsState},
    {"Q", &PopCurrentGraphicsState},
    {"spg", &MoveToNextPage},
    {"@stroke", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"@fill", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"@eofill", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"setcolorspace", &SetColorSpace},
    {"setcolor", &SetColor},
    {"setcmykcolor", &SetCmykColor},
    {"K", &SetCmykColor},
    {"k", &SetCmykColor},
    {"X", &SetCmykColor},
    {"x", &SetCmykColor},
    {"SetRgb", &SetRgbColor},
    {"SetRgb2", &SetRgbColor},
    {"SetHsb", &SetHsbColor},
    {"SetGry", &SetColorSpaceGray},
    {"ColorImage", &MarkCurrentPageAsColor},
    {"set_gradient", &MarkCurrentPageAsColor},
    {"@I_3", &MarkCurrentPageAsColor},
    {"@I_2", &MarkCurrentPageAsColor},
    {"@I_2D", &MarkCurrentPageAsColor},
    {"IMAGE", &CheckIfImageIsColor},
    {"set_fill_color", &StoreArrayInFillColor},
    {"set_outline_color", &StoreArrayInOutlineColor},
    {"f", &SetFillColorAndFill},
    {"F", &SetFillColorAndFill},
    {"@ft", &SetFillColorAndFill},
    {"@te", &SetFillColorAndFill},
    {"s", &SetStrokeColorAndStroke},
    {"S", &SetStrokeColorAndStroke},
    {"@st", &SetStrokeColorAndStroke},
    {"@tr", &SetStrokeColorAndStroke},
    {"B", &SaveThenFillThenRestoreThenStroke},
    {"b", &SaveThenFillThenRestoreThenStroke},
    {"@t", &SaveThenFillThenRestoreThenStroke},
    {"@ta", &SaveThenFillThenRestoreThenStroke},
    {"@t@a", &SaveThenFillThenRestoreThenStroke},
    {"@BMP", &ForceTokenizerToBase85AndMarkCurrentPageAsColor},
};

constexpr KeywordEntry EPS[] = {
    {"rgbimage", &DoRgbImageAndForceHex},
};

constexpr KeywordEntry PDF[] = {
    {"f", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"S", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"RadialShade", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"GenStrips", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"sg", &SetColor},
    {"initgs", &SetColorSpaceGray},
    {"pdf_image", &ForceTokenizerToBase85AndMarkCurrentPageAsColor},
    {"pdf_maskedImage", &ForceTokenizerToBase85AndMarkCurrentPageAsColor},
};

constexpr KeywordEntry PDF_LEV3[] = {
    {"cs", &SetColorSpace},
    {"q", &PushCurrentGraphicsState},
    {"Q", &PopCurrentGraphicsState},
    {"sc", &SetColor},
    {"sh", &MarkCurrentPageAsColor},
};

constexpr KeywordEntry PDF_TEXT[] = {
    {"pdfxs", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"pdfys", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"pdfxys", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"pdf_cshow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"pdf_xshow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"pdf_yshow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"pdf_xyshow", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"pdf_strokepath", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"pdf_xstrokepath", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"pdf_ystrokepath", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"pdf_xystrokepath", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"pdf_charpath", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"pdf_xcharpath", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"pdf_ycharpath", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"pdf_xycharpath", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
};

constexpr KeywordEntry CORE_GRAPHICS_PDF[] = {
    {"scs", &SetColorSpace},
    {"SC", &SetColorSpace},
    {"sc", &SetColor},
    {"q", &PushCurrentGraphicsState},
    {"Q", &PopCurrentGraphicsState},
    {"S", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"f", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"f*", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"rs", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"rf", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"sop", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"s", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"xS", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"yS", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"xyS", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"xsp", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"ysp", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"xysp", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"xmp", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"ymp", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"xymp", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"sh2", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"shp", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"sh3", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"bp", &MarkSavedAndPushCurrentGraphicsState},
    {"ep", &PopToSavedGraphicsStateAndMoveToNextPage},
    {"ID", &ForceTokenizerToBase85AndMarkCurrentPageAsColor},
};

// PDF's content operators, which Ghostscript's ps2write and cairo define as
// procedures of the same names; ps2write writes images inline.
constexpr KeywordEntry PDF_CONTENT[] = {
    {"q", &PushCurrentGraphicsState},
    {"Q", &PopCurrentGraphicsState},
    {"g", &SetColorSpaceGray},
    {"G", &SetColorSpaceGray},
    {"rg", &SetRgbColor},
    {"RG", &SetRgbColor},
    {"k", &SetCmykColor},
    {"K", &SetCmykColor},
    {"cs", &SetColorSpace},
    {"CS", &SetColorSpace},
    {"sc", &SetColor},
    {"SC", &SetColor},
    {"scn", &SetColor},
    {"SCN", &SetColor},
    {"f", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"F", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"f*", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"S", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"s", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"B", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"B*", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"b", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"b*", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"Tj", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"TJ", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"'", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"\"", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"sh", &MarkCurrentPageAsColor},
    {"ID", &InspectInlineImage},
};

// cairo's image procedures; their data follows as base-85.
constexpr KeywordEntry CAIRO[] = {
    {"cairo_image", &PaintImageAndForceBase85},
    {"cairo_imagemask", &MarkPageAndForceBase85},
};

// The "xpdf" procedure set of Poppler's pdftops: colour spaces given with a
// transfer procedure, colours as arrays, images followed by base-85 data.
constexpr KeywordEntry XPDF[] = {
    {"q", &PushCurrentGraphicsState},
    {"Q", &PopCurrentGraphicsState},
    {"cs", &SetColorSpaceBeforeProcedure},
    {"CS", &SetColorSpaceBeforeProcedure},
    {"sc", &PopOneThenSetColor},
    {"SC", &PopOneThenSetColor},
    {"f", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"f*", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"S", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"Sf", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"Tj", &CheckCurrentColorspaceAndMarkCurrentPageAsColor},
    {"funcSH", &MarkCurrentPageAsColor},
    {"axialSH", &MarkCurrentPageAsColor},
    {"radialSH", &MarkCurrentPageAsColor},
    {"pdfIm", &PaintImageAndForceBase85},
    {"pdfImM", &MarkPageAndForceBase85},
};

static_assert(std::size(BASIC_POSTSCRIPT) == 40 && std::size(WINDOWS_BASIC) == 13 && std::size(COREL) == 41 &&
              std::size(CORE_GRAPHICS_PDF) == 27 && std::size(PDF_TEXT) == 15);

constexpr std::array<std::span<const KeywordEntry>, KEYWORD_TABLE_COUNT> TABLES = {
    BASIC_POSTSCRIPT, WINDOWS_BASIC, WINDOWS_L2_UTILS, WINDOWS_L2_DIB, ADOBE_AGM_CORE, ADOBE_COOL_TYPE, ADOBE_AGM_IMAGE,
    COREL,            EPS,           PDF,              PDF_LEV3,       PDF_TEXT,       CORE_GRAPHICS_PDF,
    PDF_CONTENT,      CAIRO,         XPDF,
};

}  // namespace

// A table's rows.
std::span<const KeywordEntry> KeywordTable(KeywordTableId table)
{
    return table < TABLES.size() ? TABLES[table] : std::span<const KeywordEntry>();
}

}  // namespace RawPrintData::Postscript
