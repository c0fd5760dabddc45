#pragma once

#include <qpdf/QPDFMatrix.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <algorithm>

namespace RawPrintData::Pdf {

// An upright rectangle of a PDF coordinate space, empty when its lower
// corner is not below and left of its upper one. Large finite bounds stand
// for "anywhere", so that transforming never meets infinity times zero.
struct PdfBox {
    static constexpr double FAR = 1e15;

    double mdblX0 = 0;
    double mdblY0 = 0;
    double mdblX1 = -1;
    double mdblY1 = -1;

    static PdfBox Everywhere() { return {-FAR, -FAR, FAR, FAR}; }
    static PdfBox Nowhere() { return {}; }

    static PdfBox Of(const QPDFObjectHandle::Rectangle& rect)
    {
        return {std::min(rect.llx, rect.urx), std::min(rect.lly, rect.ury), std::max(rect.llx, rect.urx),
                std::max(rect.lly, rect.ury)};
    }

    bool IsEmpty() const { return !(mdblX0 <= mdblX1 && mdblY0 <= mdblY1); }

    double Area() const { return IsEmpty() ? 0.0 : (mdblX1 - mdblX0) * (mdblY1 - mdblY0); }

    PdfBox Intersected(const PdfBox& other) const
    {
        return {std::max(mdblX0, other.mdblX0), std::max(mdblY0, other.mdblY0), std::min(mdblX1, other.mdblX1),
                std::min(mdblY1, other.mdblY1)};
    }

    PdfBox United(const PdfBox& other) const
    {
        if (IsEmpty())
            return other;
        if (other.IsEmpty())
            return *this;
        return {std::min(mdblX0, other.mdblX0), std::min(mdblY0, other.mdblY0), std::max(mdblX1, other.mdblX1),
                std::max(mdblY1, other.mdblY1)};
    }

    // Grows the box to hold the point.
    void Include(double x, double y) { *this = United(PdfBox{x, y, x, y}); }

    PdfBox Grown(double margin) const
    {
        return IsEmpty() ? *this : PdfBox{mdblX0 - margin, mdblY0 - margin, mdblX1 + margin, mdblY1 + margin};
    }

    // The upright box around the box's corners mapped by the matrix.
    PdfBox Transformed(const QPDFMatrix& matrix) const
    {
        if (IsEmpty())
            return *this;
        PdfBox result = Of(matrix.transformRectangle(QPDFObjectHandle::Rectangle(mdblX0, mdblY0, mdblX1, mdblY1)));
        return result.Intersected(Everywhere());
    }
};

// How much a matrix multiplies areas by.
inline double AreaScale(const QPDFMatrix& matrix)
{
    const double det = matrix.a * matrix.d - matrix.b * matrix.c;
    return det < 0 ? -det : det;
}

// The colour marks a content stream leaves, in the space it starts in: the
// box around them and their summed area (the area of each mark's box, or of
// what of it shows), which is never less than the ink they put down.
struct PdfMarks {
    PdfBox mBox = PdfBox::Nowhere();
    double mdblArea = 0;

    bool IsEmpty() const { return mBox.IsEmpty(); }

    void Add(const PdfBox& box, double area)
    {
        mBox = mBox.United(box);
        mdblArea += area;
    }
};

}  // namespace RawPrintData::Pdf
