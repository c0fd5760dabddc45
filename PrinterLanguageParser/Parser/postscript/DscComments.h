#pragma once

#include "PrinterLanguageParser/Parser/postscript/DscSections.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptToken.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace RawPrintData::Postscript {

// Follows a document's DSC sections (header, prolog, defaults, pages,
// trailer, resources, files) from its comment tokens, keeps what the header
// and each page declare and tells a listener when sections, features,
// resources, files and requirements begin or end.
//
// Memory stays bounded whatever the job holds: at most mintMAX_PAGE_SECTIONS
// page sections are kept (later pages share one section that is reused),
// mintMAX_NAMED_ENTRIES media and features, and labels are cut.
class DscComments {
public:
    static constexpr size_t mintMAX_PAGE_SECTIONS = 65536;
    static constexpr size_t mintMAX_NAMED_ENTRIES = 256;
    static constexpr size_t mintMAX_LABEL_LENGTH = 256;

    DscComments();
    explicit DscComments(IDscSectionListener* listener);
    DscComments(const DscComments&) = delete;
    DscComments& operator=(const DscComments&) = delete;

    // Sets the listener only when none is set yet.
    void SetListener(IDscSectionListener* listener);
    void RemoveListener() { mListener = nullptr; }

    // Takes one TOKEN_DSC_COMMENT or TOKEN_PROLOGUE token.
    void Add(const PostscriptTokenView& token);
    // Ends the header when the first token that is no comment arrives.
    void EndHeaderComments()
    {
        if (mintSection == SECTION_HEADER)
            mEndHeader();
    }

    // The first feature of the name, or null.
    const PostscriptFeature* GetFeature(const std::string& name) const;
    // The medium of the name from %%DocumentMedia:, or null.
    const PostscriptMedia* GetMedia(const std::string& name) const;
    // The first medium %%DocumentMedia: lists, the paper of pages that name
    // none, or null.
    const PostscriptMedia* FirstMedia() const { return mFirstMedia; }

    DscSectionType CurrentSection() const { return mintSection; }
    const DscCommentHeaderSection& HeaderSection() const { return mHeader; }
    const DscCommentPageSection& DefaultsSection() const { return mDefaults; }
    const DscCommentPageSection* CurrentPageSection() const { return mCurrentPage; }
    size_t PageSectionCount() const { return mvecPages.size(); }
    // The page section of a zero-based page index, or null.
    const DscCommentPageSection* PageSection(size_t index) const;
    int64_t EmbeddedDocumentDepth() const { return mintEmbeddedDepth; }

private:
    void mSetSection(DscSectionType type) { mintSection = type; }
    void mEndHeader();
    void mBegin(DscSectionType type);
    void mEnd(DscSectionType type);

    void mAddSECTION_NONE(const DscComment& comment);
    void mAddSECTION_HEADER(const DscComment& comment);
    void mAddSECTION_PROLOG(const DscComment& comment);
    void mAddSECTION_DEFAULTS(const DscComment& comment);
    void mAddSECTION_PAGE(const DscComment& comment);
    void mAddSECTION_TRAILER(const DscComment& comment);
    void mAddSECTION_HEADER_GENERIC(const DscComment& comment);
    void mAddSECTION_PAGE_GENERIC(const DscComment& comment);

    void mBeginPage(const DscComment& comment);
    void mBeginFeature(const DscComment& comment);
    void mResourceDetected(const DscComment& comment);
    void mFileDetected(const DscComment& comment);
    void mAddMedia(const DscComment& comment);

    DscSectionType mintSection = SECTION_NONE;
    IDscSectionListener* mListener = nullptr;
    DscCommentHeaderSection mHeader;
    DscCommentPageSection mDefaults;
    DscCommentPageSection* mCurrentPage = nullptr;
    std::vector<std::unique_ptr<DscCommentPageSection>> mvecPages;
    DscCommentPageSection mOverflowPage;  // the section of pages beyond the limit
    std::map<std::string, std::unique_ptr<PostscriptMedia>, std::less<>> mMedia;
    const PostscriptMedia* mFirstMedia = nullptr;  // one of mMedia
    std::map<std::string, std::unique_ptr<PostscriptFeature>, std::less<>> mFeatures;
    int64_t mintEmbeddedDepth = 0;
    std::string mstrPreviousKeyword;
};

}  // namespace RawPrintData::Postscript
