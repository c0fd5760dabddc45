#pragma once

#include "PrinterLanguageParser/Parser/postscript/PostscriptNumber.h"

namespace RawPrintData::Postscript {

class DscComment;

// One length in PostScript points (1/72 inch).
class PostscriptUnit : public PostscriptNumber<double> {
public:
    constexpr PostscriptUnit() = default;
    constexpr explicit PostscriptUnit(double value) : PostscriptNumber<double>(value) {}
    constexpr explicit PostscriptUnit(PostscriptNumber<double> number) : PostscriptNumber<double>(number) {}
};

// One paper weight.
class PostscriptPaperWeight : public PostscriptNumber<double> {
public:
    constexpr PostscriptPaperWeight() = default;
    constexpr explicit PostscriptPaperWeight(double value) : PostscriptNumber<double>(value) {}
    constexpr explicit PostscriptPaperWeight(PostscriptNumber<double> number) : PostscriptNumber<double>(number) {}
};

struct PostscriptPoint {
    PostscriptUnit mX;
    PostscriptUnit mY;

    bool operator==(const PostscriptPoint&) const = default;
};

// A rectangle from its lower-left to its upper-right corner, in points.
class PostscriptBox {
public:
    PostscriptBox() = default;
    PostscriptBox(PostscriptPoint lowerLeft, PostscriptPoint upperRight);
    PostscriptBox(PostscriptUnit lowerLeftX, PostscriptUnit lowerLeftY, PostscriptUnit upperRightX,
                  PostscriptUnit upperRightY);
    // From "llx lly urx ury" (integers, as atoi reads them); "(atend)" or
    // fewer than four fields leave the box at 0.
    explicit PostscriptBox(const DscComment& comment);

    PostscriptUnit LowerLeftX() const { return mLowerLeftX; }
    PostscriptUnit LowerLeftY() const { return mLowerLeftY; }
    PostscriptUnit UpperRightX() const { return mUpperRightX; }
    PostscriptUnit UpperRightY() const { return mUpperRightY; }

    bool operator==(const PostscriptBox&) const = default;

private:
    PostscriptUnit mLowerLeftX;
    PostscriptUnit mLowerLeftY;
    PostscriptUnit mUpperRightX;
    PostscriptUnit mUpperRightY;
};

}  // namespace RawPrintData::Postscript
