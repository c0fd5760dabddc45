#include "PrinterLanguageParser/Parser/postscript/DscComments.h"

#include <algorithm>
#include <limits>

namespace RawPrintData::Postscript {

// Starts before the header, without listener.
DscComments::DscComments() : DscComments(nullptr) {}

// Starts before the header.
DscComments::DscComments(IDscSectionListener* listener) : mListener(listener)
{
    mDefaults.mstrLabel = "Defaults";
}

// Sets the listener when none is set.
void DscComments::SetListener(IDscSectionListener* listener)
{
    if (mListener == nullptr)
        mListener = listener;
}

// Tells the listener a section began.
void DscComments::mBegin(DscSectionType type)
{
    if (mListener != nullptr)
        mListener->DscSectionBegun(type);
}

// Tells the listener a section ended.
void DscComments::mEnd(DscSectionType type)
{
    if (mListener != nullptr)
        mListener->DscSectionEnded(type);
}

// Takes one comment token.
void DscComments::Add(const PostscriptTokenView& token)
{
    // A header line some filters write behind "%%" ("%%%!PS-Adobe-3.0")
    // is the header line all the same.
    const bool commentedHeader = token.Type() == TOKEN_DSC_COMMENT && token.Data().starts_with("%%%!PS-Adobe");
    if (token.Type() == TOKEN_PROLOGUE || commentedHeader) {
        // A procedure set or an embedded document opens with its own "%!"
        // line; only one outside every section starts a document's header.
        if (mintSection != SECTION_NONE || mintEmbeddedDepth > 0)
            return;
        mSetSection(SECTION_HEADER);
        mBegin(SECTION_HEADER);
        return;
    }
    if (token.Type() != TOKEN_DSC_COMMENT)
        return;
    const DscComment comment(token.Data(), mstrPreviousKeyword);
    mstrPreviousKeyword = comment.Keyword();
    const std::string_view keyword = comment.Keyword();
    if (keyword == "BeginDocument") {
        ++mintEmbeddedDepth;
        return;
    }
    if (keyword == "EndDocument") {
        // A stray end never drives the depth below zero, which would hide
        // every later %%Trailer.
        if (mintEmbeddedDepth > 0)
            --mintEmbeddedDepth;
        return;
    }
    // The pages of a document embedded in this one are not the job's pages.
    if (mintEmbeddedDepth > 0 && (keyword == "Page" || keyword == "PageBoundingBox" || keyword == "PageMedia" ||
                                  keyword == "PageOrientation"))
        return;
    switch (mintSection) {
    case SECTION_NONE: mAddSECTION_NONE(comment); break;
    case SECTION_HEADER: mAddSECTION_HEADER(comment); break;
    case SECTION_PROLOG: mAddSECTION_PROLOG(comment); break;
    case SECTION_DEFAULTS: mAddSECTION_DEFAULTS(comment); break;
    case SECTION_PAGE: mAddSECTION_PAGE(comment); break;
    case SECTION_TRAILER: mAddSECTION_TRAILER(comment); break;
    case SECTION_RESOURCE:
        if (keyword == "EndResource") {
            mSetSection(SECTION_NONE);
            mEnd(SECTION_RESOURCE);
        }
        break;
    case SECTION_FILE:
        if (keyword == "EndFile") {
            mSetSection(SECTION_NONE);
            mEnd(SECTION_FILE);
        }
        break;
    }
}

// Outside any section.
void DscComments::mAddSECTION_NONE(const DscComment& comment)
{
    const std::string_view keyword = comment.Keyword();
    if (keyword == "BeginProlog") {
        mSetSection(SECTION_PROLOG);
        mBegin(SECTION_PROLOG);
    } else if (keyword == "BeginDefaults") {
        mCurrentPage = &mDefaults;
        mSetSection(SECTION_DEFAULTS);
        mBegin(SECTION_DEFAULTS);
    } else if (keyword == "BeginResource") {
        mSetSection(SECTION_RESOURCE);
        mBegin(SECTION_RESOURCE);
        mResourceDetected(comment);
    } else if (keyword == "Page") {
        mBeginPage(comment);
    } else if (keyword == "BeginFeature" || keyword == "BeginNonPPDFeature") {
        mBeginFeature(comment);
    } else if (keyword == "EndFeature" || keyword == "EndNonPPDFeature") {
        if (mListener != nullptr)
            mListener->DscFeatureEnded();
    } else if (keyword == "Trailer" && mintEmbeddedDepth == 0) {
        mSetSection(SECTION_TRAILER);
        mBegin(SECTION_TRAILER);
    }
}

// In the header.
void DscComments::mAddSECTION_HEADER(const DscComment& comment)
{
    if (comment.Keyword() == "EndComments") {
        mSetSection(SECTION_NONE);
        mEnd(SECTION_HEADER);
        return;
    }
    mAddSECTION_HEADER_GENERIC(comment);
}

// In the prolog.
void DscComments::mAddSECTION_PROLOG(const DscComment& comment)
{
    const std::string_view keyword = comment.Keyword();
    if (keyword == "EndProlog") {
        mSetSection(SECTION_NONE);
        mEnd(SECTION_PROLOG);
    } else if (keyword == "Page" && mintEmbeddedDepth == 0) {
        // A prolog whose end is missing or misspelled (paps writes
        // "%%EndPrologue") ends where the pages begin.
        mSetSection(SECTION_NONE);
        mEnd(SECTION_PROLOG);
        mBeginPage(comment);
    } else if (keyword == "BeginResource") {
        mResourceDetected(comment);
    } else if (keyword == "BeginFile") {
        mFileDetected(comment);
    }
}

// In the document defaults.
void DscComments::mAddSECTION_DEFAULTS(const DscComment& comment)
{
    if (comment.Keyword() == "EndDefaults") {
        mCurrentPage = nullptr;
        mSetSection(SECTION_NONE);
        mEnd(SECTION_DEFAULTS);
        return;
    }
    mAddSECTION_PAGE_GENERIC(comment);
}

// In a page.
void DscComments::mAddSECTION_PAGE(const DscComment& comment)
{
    const std::string_view keyword = comment.Keyword();
    if (keyword == "Page") {
        mBeginPage(comment);
    } else if (keyword == "Trailer") {
        if (mintEmbeddedDepth != 0)
            return;
        mSetSection(SECTION_NONE);
        mEnd(SECTION_PAGE);
        mSetSection(SECTION_TRAILER);
        mBegin(SECTION_TRAILER);
    } else {
        mAddSECTION_PAGE_GENERIC(comment);
    }
}

// In the trailer.
void DscComments::mAddSECTION_TRAILER(const DscComment& comment)
{
    if (comment.Keyword() == "EOF") {
        mSetSection(SECTION_NONE);
        mEnd(SECTION_TRAILER);
        return;
    }
    mAddSECTION_HEADER_GENERIC(comment);
}

// Items of the header and the trailer.
void DscComments::mAddSECTION_HEADER_GENERIC(const DscComment& comment)
{
    const std::string_view keyword = comment.Keyword();
    const std::string& values = comment.Values();
    if (keyword == "Title") {
        mHeader.mstrTitle = values;
    } else if (keyword == "Creator") {
        mHeader.mstrCreator = values;
    } else if (keyword == "CreationDate") {
        mHeader.mstrCreationDate = values;
    } else if (keyword == "For") {
        mHeader.mstrFor = values;
    } else if (keyword == "Copyright") {
        mHeader.mstrCopyright = values;
    } else if (keyword == "Version") {
        mHeader.mstrVersion = values;
    } else if (keyword == "Routing") {
        mHeader.mstrRouting = values;
    } else if (keyword == "LanguageLevel") {
        const int64_t level = ReadLeadingInteger(values);
        mHeader.mintLanguageLevel = static_cast<int32_t>(
            std::clamp<int64_t>(level, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    } else if (keyword == "Pages") {
        mHeader.mintPages.SetFromString(values);
    } else if (keyword == "BoundingBox") {
        mHeader.mBoundingBox = PostscriptBox(comment);
    } else if (keyword == "BeginResource") {
        mResourceDetected(comment);
        mBegin(SECTION_RESOURCE);
    } else if (keyword == "EndResource") {
        mEnd(SECTION_RESOURCE);
    } else if (keyword == "Requirements") {
        mHeader.mRequirements = PostscriptRequirements(comment);
        if (mListener != nullptr)
            mListener->DscRequirementsDetected(mHeader.mRequirements);
    } else if (keyword == "DocumentMedia") {
        mAddMedia(comment);
    }
}

// Items of a page or of the defaults.
void DscComments::mAddSECTION_PAGE_GENERIC(const DscComment& comment)
{
    if (mCurrentPage == nullptr)
        return;
    const std::string_view keyword = comment.Keyword();
    if (keyword == "PageBoundingBox") {
        mCurrentPage->mPageBoundingBox = PostscriptBox(comment);
    } else if (keyword == "PageOrientation") {
        mCurrentPage->mintOrientation = comment.Orientation();
    } else if (keyword == "PageMedia") {
        if (const PostscriptMedia* media = GetMedia(comment.Values()))
            mCurrentPage->mMedia = media;
    } else if (keyword == "BeginResource") {
        mResourceDetected(comment);
        mBegin(SECTION_RESOURCE);
    } else if (keyword == "EndResource") {
        mEnd(SECTION_RESOURCE);
    } else if (keyword == "BeginFile") {
        mFileDetected(comment);
        mBegin(SECTION_FILE);
    } else if (keyword == "EndFile") {
        mEnd(SECTION_FILE);
    } else if (keyword == "BeginFeature" || keyword == "BeginNonPPDFeature") {
        mBeginFeature(comment);
    } else if (keyword == "EndFeature" || keyword == "EndNonPPDFeature") {
        if (mListener != nullptr)
            mListener->DscFeatureEnded();
    }
}

// %%Page: label ordinal.
void DscComments::mBeginPage(const DscComment& comment)
{
    const std::string_view values = comment.Values();
    const size_t blank = values.find(' ');
    if (blank == std::string_view::npos)
        return;
    DscCommentPageSection* page = &mOverflowPage;
    if (mvecPages.size() < mintMAX_PAGE_SECTIONS) {
        mvecPages.push_back(std::make_unique<DscCommentPageSection>());
        page = mvecPages.back().get();
    }
    *page = DscCommentPageSection{};
    page->mstrLabel = values.substr(0, std::min(blank, mintMAX_LABEL_LENGTH));
    page->mintOrdinal.SetFromString(values.substr(blank + 1));
    page->mintOrientation = mDefaults.mintOrientation;
    page->mMedia = mDefaults.mMedia;
    page->mPageBoundingBox = mDefaults.mPageBoundingBox;
    mCurrentPage = page;
    if (mintSection == SECTION_PAGE) {
        mSetSection(SECTION_NONE);
        mEnd(SECTION_PAGE);
    }
    mSetSection(SECTION_PAGE);
    mBegin(SECTION_PAGE);
}

// %%BeginFeature: name value.
void DscComments::mBeginFeature(const DscComment& comment)
{
    PostscriptFeature feature(comment);
    if (mListener != nullptr)
        mListener->DscFeatureBegun(feature);
    const std::string name = feature.GetName();
    if (name.empty() || mFeatures.size() >= mintMAX_NAMED_ENTRIES || mFeatures.contains(name))
        return;
    mFeatures.emplace(name, std::make_unique<PostscriptFeature>(std::move(feature)));
}

// Reports a resource.
void DscComments::mResourceDetected(const DscComment& comment)
{
    if (mListener != nullptr)
        mListener->DscResourceDetected(PostscriptResource(comment));
}

// Reports a file.
void DscComments::mFileDetected(const DscComment& comment)
{
    if (mListener != nullptr)
        mListener->DscFileDetected(PostscriptFile(comment));
}

// Keeps the first medium of each name.
void DscComments::mAddMedia(const DscComment& comment)
{
    auto media = std::make_unique<PostscriptMedia>(comment);
    const std::string& name = media->GetName();
    if (name.empty() || mMedia.size() >= mintMAX_NAMED_ENTRIES || mMedia.contains(name))
        return;
    if (mFirstMedia == nullptr)
        mFirstMedia = media.get();
    mMedia.emplace(name, std::move(media));
}

// Ends the header at the first token that is no comment.
void DscComments::mEndHeader()
{
    mSetSection(SECTION_NONE);
    mEnd(SECTION_HEADER);
}

// A feature by name.
const PostscriptFeature* DscComments::GetFeature(const std::string& name) const
{
    const auto found = mFeatures.find(name);
    return found == mFeatures.end() ? nullptr : found->second.get();
}

// A medium by name.
const PostscriptMedia* DscComments::GetMedia(const std::string& name) const
{
    const auto found = mMedia.find(name);
    return found == mMedia.end() ? nullptr : found->second.get();
}

// The page section of a page index.
const DscCommentPageSection* DscComments::PageSection(size_t index) const
{
    return index < mvecPages.size() ? mvecPages[index].get() : nullptr;
}

}  // namespace RawPrintData::Postscript
