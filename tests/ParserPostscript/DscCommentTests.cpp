#include "PrinterLanguageParser/Parser/postscript/DscComment.h"
#include "PrinterLanguageParser/Parser/postscript/DscNamedRecords.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptGeometry.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptMedia.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptRequirements.h"

#include <gtest/gtest.h>

using namespace RawPrintData::Postscript;

namespace {

struct SplitCase {
    std::string line;
    std::string previous;
    std::string keyword;
    std::string values;
};

TEST(DscComment, SplitsKeywordAndValues)
{
    const SplitCase cases[] = {
        {"%%Title: My Document ", "", "Title", "My Document"},
        {"%%Title", "", "Title", ""},
        {"%%EndComments", "", "EndComments", ""},
        {"%!PS-Adobe-3.0", "", "PS-Adobe-3.0", ""},
        {"%%BoundingBox:\t0 0 612 792\t", "", "BoundingBox", "0 0 612 792"},
        {"%%+ A4 595 842 75 white ()", "DocumentMedia", "DocumentMedia", "A4 595 842 75 white ()"},
        {"%%+", "DocumentMedia", "DocumentMedia", ""},
        {"%%+ x", "", "", "x"},
        {"%%Odd%Key: v: w", "", "OddKey", "v: w"},
        {"%%", "", "", ""},
        {"%", "", "", ""},
    };
    for (const SplitCase& sample : cases) {
        const DscComment comment(sample.line, sample.previous);
        EXPECT_EQ(comment.Keyword(), sample.keyword) << sample.line;
        EXPECT_EQ(comment.Values(), sample.values) << sample.line;
    }
    // Without a previous keyword a "%%+" line is split like any other.
    EXPECT_EQ(DscComment("%%+ x").Keyword(), "+ x");
}

TEST(DscComment, ReadsOrientation)
{
    EXPECT_EQ(DscComment("%%PageOrientation: (atend)").Orientation(), PAGE_ORIENTATION_ATEND);
    EXPECT_EQ(DscComment("%%PageOrientation: Portrait").Orientation(), PAGE_ORIENTATION_PORTRAIT);
    EXPECT_EQ(static_cast<PostscriptPageOrientation>(DscComment("%%Orientation: Landscape")),
              PAGE_ORIENTATION_LANDSCAPE);
    EXPECT_EQ(DscComment("%%Orientation: Seascape").Orientation(), PAGE_ORIENTATION_NONE);
    EXPECT_TRUE(DscComment("%%Pages: (atend)").IsAtEnd());
}

struct RequirementsCase {
    std::string values;
    bool collate, color, duplex, fax, punch, staple;
    unsigned long copies;
};

TEST(PostscriptRequirements, ReadsEachField)
{
    const RequirementsCase cases[] = {
        {"duplex(tumble) numcopies(3) color", false, true, true, false, false, false, 3},
        {"colour", false, false, false, false, false, false, 0},
        {"collate fax punch(2) staple(top)", true, false, false, true, true, true, 0},
        {"numcopies(-4)", false, false, false, false, false, false, 0},
        {"numcopies(99999999999999999999999)", false, false, false, false, false, false,
         static_cast<unsigned long>(std::numeric_limits<int64_t>::max())},
        {"numcopies)2(", false, false, false, false, false, false, 0},
        {"numcopies(5", false, false, false, false, false, false, 0},
        {"color  duplex", false, true, true, false, false, false, 0},
    };
    for (const RequirementsCase& sample : cases) {
        const PostscriptRequirements requirements(DscComment("%%Requirements: " + sample.values));
        EXPECT_EQ(requirements.mblnCollate, sample.collate) << sample.values;
        EXPECT_EQ(requirements.mblnColor, sample.color) << sample.values;
        EXPECT_EQ(requirements.mblnDuplex, sample.duplex) << sample.values;
        EXPECT_EQ(requirements.mblnFax, sample.fax) << sample.values;
        EXPECT_EQ(requirements.mblnPunch, sample.punch) << sample.values;
        EXPECT_EQ(requirements.mblnStaple, sample.staple) << sample.values;
        EXPECT_EQ(requirements.mintCopies.GetValue(), sample.copies) << sample.values;
    }
    EXPECT_EQ(PostscriptRequirements(DscComment("%%Requirements:")), PostscriptRequirements());
}

TEST(PostscriptBox, ReadsFourIntegers)
{
    EXPECT_EQ(PostscriptBox(DscComment("%%BoundingBox: (atend)")), PostscriptBox());
    const PostscriptBox box(DscComment("%%BoundingBox: 0 0 612 792"));
    EXPECT_EQ(box, PostscriptBox(PostscriptUnit(0), PostscriptUnit(0), PostscriptUnit(612), PostscriptUnit(792)));
    const PostscriptBox fractional(DscComment("%%BoundingBox: 1 2 612.5 792.9"));
    EXPECT_DOUBLE_EQ(fractional.UpperRightX().GetValue(), 612);
    EXPECT_EQ(PostscriptBox(DscComment("%%BoundingBox: 0 0 612")), PostscriptBox());
    // Two blanks make an empty field, which reads as 0.
    const PostscriptBox gaps(DscComment("%%BoundingBox: 5  7 8"));
    EXPECT_DOUBLE_EQ(gaps.LowerLeftX().GetValue(), 5);
    EXPECT_DOUBLE_EQ(gaps.LowerLeftY().GetValue(), 0);
    EXPECT_DOUBLE_EQ(gaps.UpperRightY().GetValue(), 8);
    const PostscriptPoint lowerLeft{PostscriptUnit(1), PostscriptUnit(2)};
    const PostscriptPoint upperRight{PostscriptUnit(3), PostscriptUnit(4)};
    EXPECT_DOUBLE_EQ(PostscriptBox(lowerLeft, upperRight).UpperRightY().GetValue(), 4);
}

TEST(PostscriptMedia, NeedsFourFieldsEachFollowedByABlank)
{
    const PostscriptMedia plain(DscComment("%%DocumentMedia: Plain 612 792.5 75 white ()"));
    EXPECT_EQ(plain.GetName(), "Plain");
    EXPECT_DOUBLE_EQ(plain.GetWidth().GetValue(), 612);
    EXPECT_DOUBLE_EQ(plain.GetHeight().GetValue(), 792.5);
    EXPECT_DOUBLE_EQ(plain.GetWeight().GetValue(), 75);
    const PostscriptMedia cut(DscComment("%%DocumentMedia: Plain 612 792 75"));
    EXPECT_EQ(cut.GetName(), "");
    EXPECT_DOUBLE_EQ(cut.GetWidth().GetValue(), 0);
    PostscriptMedia renamed;
    renamed.SetName("Plain");
    EXPECT_EQ(renamed, plain);
}

TEST(DscNamedRecords, ReadNamesAndValues)
{
    EXPECT_EQ(PostscriptResource(DscComment("%%BeginResource: procset Adobe_AGM_Core 2.0 0")).GetName(),
              "Adobe_AGM_Core");
    // Drivers often leave out version and revision.
    EXPECT_EQ(PostscriptResource(DscComment("%%BeginResource: procset Pscript_Win_Basic")).GetName(),
              "Pscript_Win_Basic");
    EXPECT_EQ(PostscriptResource(DscComment("%%BeginResource: procset")).GetName(), "");
    EXPECT_EQ(PostscriptFile(DscComment("%%BeginFile: cg-pdf.ps")).GetName(), "cg-pdf.ps");
    const PostscriptFeature duplex(DscComment("%%BeginFeature: *Duplex DuplexNoTumble"));
    EXPECT_EQ(duplex.GetName(), "*Duplex");
    EXPECT_EQ(duplex.GetValue(), "DuplexNoTumble");
    const PostscriptFeature bare(DscComment("%%BeginFeature: *Duplex"));
    EXPECT_EQ(bare.GetName(), "");
    EXPECT_EQ(bare.GetValue(), "");
    PostscriptFeature a;
    a.SetName("*A");
    PostscriptFeature ab;
    ab.SetName("*AB");
    EXPECT_LT(a, ab);
}

}  // namespace
