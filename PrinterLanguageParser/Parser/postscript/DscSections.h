#pragma once

#include "PrinterLanguageParser/Parser/postscript/DscComment.h"
#include "PrinterLanguageParser/Parser/postscript/DscNamedRecords.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptGeometry.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptMedia.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptRequirements.h"

#include <cstdint>
#include <string>

namespace RawPrintData::Postscript {

// The part of a DSC-conforming document being read.
enum DscSectionType : int32_t {
    SECTION_NONE = 0,
    SECTION_HEADER = 1,
    SECTION_PROLOG = 2,
    SECTION_DEFAULTS = 3,
    SECTION_PAGE = 4,
    SECTION_TRAILER = 5,
    SECTION_RESOURCE = 6,
    SECTION_FILE = 7,
};

// What the header (and the trailer, for "(atend)" values) declares.
struct DscCommentHeaderSection {
    std::string mstrRouting;
    std::string mstrTitle;
    std::string mstrVersion;
    std::string mstrCreator;
    std::string mstrCreationDate;
    std::string mstrFor;
    std::string mstrCopyright;
    int32_t mintLanguageLevel = 0;
    PostscriptNumber<unsigned long> mintPages;
    PostscriptBox mBoundingBox;
    PostscriptRequirements mRequirements;
};

// One page, or the document defaults.
struct DscCommentPageSection {
    std::string mstrLabel;
    PostscriptNumber<unsigned long> mintOrdinal;
    PostscriptPageOrientation mintOrientation = PAGE_ORIENTATION_NONE;
    const PostscriptMedia* mMedia = nullptr;  // held by DscComments
    PostscriptBox mPageBoundingBox;
};

// Told when DSC sections begin and end and what they name. The PostScript
// parser implements it.
class IDscSectionListener {
public:
    virtual ~IDscSectionListener() = default;
    virtual void DscSectionBegun(DscSectionType type) = 0;
    virtual void DscSectionEnded(DscSectionType type) = 0;
    virtual void DscFeatureBegun(const PostscriptFeature& feature) = 0;
    virtual void DscFeatureEnded() = 0;
    virtual void DscRequirementsDetected(const PostscriptRequirements& requirements) = 0;
    virtual void DscResourceDetected(const PostscriptResource& resource) = 0;
    virtual void DscFileDetected(const PostscriptFile& file) = 0;

protected:
    IDscSectionListener() = default;
    IDscSectionListener(const IDscSectionListener&) = default;
    IDscSectionListener& operator=(const IDscSectionListener&) = default;
};

}  // namespace RawPrintData::Postscript
