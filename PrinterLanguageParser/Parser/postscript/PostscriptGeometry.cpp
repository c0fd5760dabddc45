#include "PrinterLanguageParser/Parser/postscript/PostscriptGeometry.h"

#include "PrinterLanguageParser/Parser/postscript/DscComment.h"

#include <array>

namespace RawPrintData::Postscript {

// A box from two corners.
PostscriptBox::PostscriptBox(PostscriptPoint lowerLeft, PostscriptPoint upperRight)
    : PostscriptBox(lowerLeft.mX, lowerLeft.mY, upperRight.mX, upperRight.mY)
{
}

// A box from four coordinates.
PostscriptBox::PostscriptBox(PostscriptUnit lowerLeftX, PostscriptUnit lowerLeftY, PostscriptUnit upperRightX,
                             PostscriptUnit upperRightY)
    : mLowerLeftX(lowerLeftX), mLowerLeftY(lowerLeftY), mUpperRightX(upperRightX), mUpperRightY(upperRightY)
{
}

// A box from a %%BoundingBox: style comment.
PostscriptBox::PostscriptBox(const DscComment& comment)
{
    if (comment.IsAtEnd())
        return;
    std::array<std::string_view, 4> fields;
    if (comment.FirstFields(fields) < fields.size())
        return;
    auto unit = [](std::string_view field) { return PostscriptUnit(static_cast<double>(ReadLeadingInteger(field))); };
    mLowerLeftX = unit(fields[0]);
    mLowerLeftY = unit(fields[1]);
    mUpperRightX = unit(fields[2]);
    mUpperRightY = unit(fields[3]);
}

}  // namespace RawPrintData::Postscript
