#pragma once

#include "PrinterLanguageParser/Parser/postscript/PostscriptGeometry.h"

#include <string>

namespace RawPrintData::Postscript {

class DscComment;

// A medium: from %%DocumentMedia: (name width height weight colour type) or
// built up by the parser from page-device settings. Two media are equal when
// their names are.
class PostscriptMedia {
public:
    PostscriptMedia() = default;
    // Sets nothing (name included) unless name, width, height and weight are
    // each followed by a blank.
    explicit PostscriptMedia(const DscComment& comment);

    const std::string& GetName() const { return mstrName; }
    void SetName(std::string name) { mstrName = std::move(name); }
    PostscriptUnit GetWidth() const { return mWidth; }
    void SetWidth(PostscriptUnit width) { mWidth = width; }
    PostscriptUnit GetHeight() const { return mHeight; }
    void SetHeight(PostscriptUnit height) { mHeight = height; }
    PostscriptPaperWeight GetWeight() const { return mWeight; }
    void SetWeight(PostscriptPaperWeight weight) { mWeight = weight; }

    bool operator==(const PostscriptMedia& other) const { return mstrName == other.mstrName; }

private:
    std::string mstrName;
    PostscriptUnit mWidth;
    PostscriptUnit mHeight;
    PostscriptPaperWeight mWeight;
};

}  // namespace RawPrintData::Postscript
