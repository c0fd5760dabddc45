#include "PrinterLanguageParser/Parser/postscript/DscComments.h"
#include "TokenRecorder.h"

#include <gtest/gtest.h>

using namespace RawPrintData::Postscript;

namespace {

// Writes each listener call as one line.
class SectionRecorder : public IDscSectionListener {
public:
    void DscSectionBegun(DscSectionType type) override { mvecCalls.push_back("begin " + std::to_string(type)); }
    void DscSectionEnded(DscSectionType type) override { mvecCalls.push_back("end " + std::to_string(type)); }
    void DscFeatureBegun(const PostscriptFeature& feature) override
    {
        mvecCalls.push_back("feature " + feature.GetName() + "=" + feature.GetValue());
    }
    void DscFeatureEnded() override { mvecCalls.push_back("feature end"); }
    void DscRequirementsDetected(const PostscriptRequirements& requirements) override
    {
        mvecCalls.push_back("requirements " + std::to_string(requirements.mintCopies.GetValue()));
    }
    void DscResourceDetected(const PostscriptResource& resource) override
    {
        mvecCalls.push_back("resource " + resource.GetName());
    }
    void DscFileDetected(const PostscriptFile& file) override { mvecCalls.push_back("file " + file.GetName()); }

    std::vector<std::string> mvecCalls;
};

// Feeds a job's comment lines, ending the header at the first other token.
class DscFeeder : public ITokenListener {
public:
    explicit DscFeeder(DscComments& comments) : mComments(comments) {}
    bool TokenScanned(const PostscriptTokenView& token) override
    {
        if (token.Type() == TOKEN_DSC_COMMENT || token.Type() == TOKEN_PROLOGUE)
            mComments.Add(token);
        else if (token.Type() != TOKEN_COMMENT)
            mComments.EndHeaderComments();
        return true;
    }

private:
    DscComments& mComments;
};

std::vector<std::string> Feed(DscComments& comments, SectionRecorder& recorder, std::string_view job)
{
    comments.SetListener(&recorder);
    DscFeeder feeder(comments);
    PostscriptTokenizer tokenizer(&feeder);
    tokenizer.Tokenize(job);
    tokenizer.Flush();
    return recorder.mvecCalls;
}

TEST(DscComments, FollowsTheSectionsOfADocument)
{
    DscComments comments;
    SectionRecorder recorder;
    const auto calls = Feed(comments, recorder,
                            "%!PS-Adobe-3.0\n"
                            "%%Title: Report\n"
                            "%%Pages: (atend)\n"
                            "%%BoundingBox: 0 0 612 792\n"
                            "%%Requirements: numcopies(2) duplex\n"
                            "%%DocumentMedia: Plain 612 792 75 white ()\n"
                            "%%+ A4 595 842 75 white ()\n"
                            "%%EndComments\n"
                            "%%BeginProlog\n"
                            "%%BeginResource: procset Pscript_Win_Basic 5.0 0\n"
                            "%%EndResource\n"
                            "%%EndProlog\n"
                            "%%BeginDefaults\n"
                            "%%PageOrientation: Landscape\n"
                            "%%EndDefaults\n"
                            "%%Page: 1 1\n"
                            "%%PageMedia: A4\n"
                            "%%PageBoundingBox: 0 0 595 842\n"
                            "%%BeginFeature: *PageSize A4\n"
                            "%%EndFeature\n"
                            "%%BeginFeature: *PageSize Letter\n"
                            "%%EndFeature\n"
                            "%%Page: 1 1\n"
                            "%%BeginDocument: inner.eps\n"
                            "%%Trailer\n"
                            "%%EndDocument\n"
                            "%%Trailer\n"
                            "%%Pages: 2\n"
                            "%%EOF\n");
    const std::vector<std::string> expected = {
        "begin 1", "requirements 2", "end 1",    "begin 2", "resource Pscript_Win_Basic",
        "end 2",   "begin 3",        "end 3",    "begin 4", "feature *PageSize=A4",
        "feature end", "feature *PageSize=Letter", "feature end", "end 4", "begin 4",
        "end 4",   "begin 5",        "end 5"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(comments.HeaderSection().mstrTitle, "Report");
    EXPECT_EQ(comments.HeaderSection().mintPages.GetValue(), 2u);
    EXPECT_DOUBLE_EQ(comments.HeaderSection().mBoundingBox.UpperRightY().GetValue(), 792);
    EXPECT_TRUE(comments.HeaderSection().mRequirements.mblnDuplex);
    ASSERT_EQ(comments.PageSectionCount(), 2u);
    const DscCommentPageSection* first = comments.PageSection(0);
    ASSERT_NE(first->mMedia, nullptr);
    EXPECT_EQ(first->mMedia->GetName(), "A4");
    EXPECT_DOUBLE_EQ(first->mMedia->GetWidth().GetValue(), 595);
    EXPECT_EQ(first->mintOrientation, PAGE_ORIENTATION_LANDSCAPE);
    EXPECT_DOUBLE_EQ(first->mPageBoundingBox.UpperRightX().GetValue(), 595);
    EXPECT_EQ(comments.PageSection(1)->mMedia, nullptr);
    EXPECT_EQ(comments.PageSection(2), nullptr);
    ASSERT_NE(comments.GetFeature("*PageSize"), nullptr);
    EXPECT_EQ(comments.GetFeature("*PageSize")->GetValue(), "A4");
    EXPECT_EQ(comments.GetFeature("*Duplex"), nullptr);
    EXPECT_NE(comments.GetMedia("Plain"), nullptr);
    EXPECT_EQ(comments.CurrentSection(), SECTION_NONE);
}

TEST(DscComments, FirstOtherTokenEndsTheHeader)
{
    DscComments comments;
    SectionRecorder recorder;
    EXPECT_EQ(Feed(comments, recorder, "%!PS\n%%Title: x\n% plain comment\n/a 1 def\n%%Title: y\n"),
              (std::vector<std::string>{"begin 1", "end 1"}));
    EXPECT_EQ(comments.HeaderSection().mstrTitle, "x");
}

TEST(DscComments, StrayEndDocumentDoesNotHideTheTrailer)
{
    DscComments comments;
    SectionRecorder recorder;
    EXPECT_EQ(Feed(comments, recorder, "%%EndDocument\n%%EndDocument\n%%Page: 1 1\n%%Trailer\n"),
              (std::vector<std::string>{"begin 4", "end 4", "begin 5"}));
    EXPECT_EQ(comments.EmbeddedDocumentDepth(), 0);
}

TEST(DscComments, PagesOfAnEmbeddedDocumentAreNotTheJobs)
{
    DscComments comments;
    SectionRecorder recorder;
    Feed(comments, recorder,
         "%%Page: 1 1\n%%PageBoundingBox: 0 0 595 842\n%%BeginDocument: figure.eps\n%%Page: 1 1\n"
         "%%PageBoundingBox: 0 0 10 10\n%%EndDocument\n%%Page: 2 2\n");
    ASSERT_EQ(comments.PageSectionCount(), 2u);
    EXPECT_EQ(comments.PageSection(0)->mPageBoundingBox.UpperRightX().GetValue(), 595);
}

TEST(DscComments, ResourceAndFileSectionsOutsideTheProlog)
{
    DscComments comments;
    SectionRecorder recorder;
    const auto calls = Feed(comments, recorder,
                            "%%BeginResource: font Foo\n%%BeginFeature: *X y\n%%EndResource\n"
                            "%%Page: a 1\n%%BeginFile: cg-pdf.ps\n%%EndFile\n%%BeginResource: procset pdf 1 0\n"
                            "%%EndResource\n%%Page: nolabel\n");
    EXPECT_EQ(calls, (std::vector<std::string>{"begin 6", "resource Foo", "end 6", "begin 4", "file cg-pdf.ps",
                                               "begin 7", "end 7", "resource pdf", "begin 6", "end 6"}));
}

TEST(DscComments, WorksWithoutListenerAndBoundsItsPages)
{
    DscComments comments;
    std::string job;
    for (size_t page = 0; page < DscComments::mintMAX_PAGE_SECTIONS + 10; ++page)
        job += "%%Page: " + std::string(300, 'L') + " 1\n";
    DscFeeder feeder(comments);
    PostscriptTokenizer tokenizer(&feeder);
    tokenizer.Tokenize(std::string_view(job));
    EXPECT_EQ(comments.PageSectionCount(), DscComments::mintMAX_PAGE_SECTIONS);
    EXPECT_EQ(comments.PageSection(0)->mstrLabel.size(), DscComments::mintMAX_LABEL_LENGTH);
    ASSERT_NE(comments.CurrentPageSection(), nullptr);
    EXPECT_EQ(comments.CurrentSection(), SECTION_PAGE);
}

}  // namespace
