// The lines ImageMagick writes after DisplayImage, as its Level 2 and
// Level 3 writers lay them out (the samples follow), and what they tell of
// the picture.

#include "PrinterLanguageParser/Parser/postscript/ImageMagickPicture.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

#include <string>

using RawPrintData::Postscript::ImageMagickPicture;
using Verdict = ImageMagickPicture::Verdict;

namespace {

using TestSupport::operator<<;

struct PictureCase {
    const char* Name;
    std::string mstrLines;
    Verdict mExpected;
};

const std::string LEVEL2 = "0 0\n40 30\n12\n40 30\n";
const std::string LEVEL3 = "0 0\n40 30\n12\nfalse\nfalse\n40 30\n0\nfalse\n";

const PictureCase CASES[] = {
    {"level2_grey_ramp", LEVEL2 + "1\n0\n1\n0\n8\n", Verdict::Neutral},
    {"level2_table_of_greys", LEVEL2 + "1\n0\n0\n2\n808080\n838080\n", Verdict::Neutral},
    {"level2_table_with_red", LEVEL2 + "1\n0\n0\n2\n808080\nC81E1E\n", Verdict::Color},
    {"level2_direct_rgb", LEVEL2 + "0\n0\n0\n", Verdict::Color},
    {"level2_table_line_not_hex", LEVEL2 + "1\n0\n0\n1\nC81E\n", Verdict::Color},
    {"level3_grey_ramp", LEVEL3 + "false\n1\n5\n0\n8\n", Verdict::Neutral},
    {"level3_black_stencil", LEVEL3 + "true\n", Verdict::Neutral},
    {"level3_binary_table_of_greys", LEVEL3 + "false\n1\n5\n2\n\x10\x10\x10\xF0\xF0\xF0", Verdict::Neutral},
    {"level3_binary_table_with_red", LEVEL3 + "false\n1\n5\n2\n\x10\x10\x10\xC8\x1E\x1E", Verdict::Color},
    {"level3_base85_table_unread", LEVEL3 + "false\n1\n0\n2\n", Verdict::Color},
    {"level3_direct_cmyk", LEVEL3 + "false\n0\n5\n", Verdict::Color},
    {"overlong_line", std::string(200, '7'), Verdict::Color},
};

class ImageMagickPictureLines : public testing::TestWithParam<PictureCase> {};

TEST_P(ImageMagickPictureLines, TellWhetherThePictureIsNeutral)
{
    ImageMagickPicture picture;
    Verdict verdict = Verdict::Reading;
    for (size_t index = 0; index < GetParam().mstrLines.size() && verdict == Verdict::Reading; ++index)
        verdict = picture.Take(static_cast<unsigned char>(GetParam().mstrLines[index]));
    EXPECT_EQ(verdict, GetParam().mExpected);
}

INSTANTIATE_TEST_SUITE_P(Lines, ImageMagickPictureLines, testing::ValuesIn(CASES), TestSupport::CaseName());

}  // namespace
