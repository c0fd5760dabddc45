#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/PdfBox.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfColorSpace.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfOptionalContent.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFMatrix.hh>
#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <map>
#include <set>
#include <tuple>
#include <vector>

namespace RawPrintData::Pdf {

// What the pages of one document share while they are judged: the layers
// that print, and the colour marks of each form as drawn with a given
// inherited colour (a form drawn again with the same colour is not read
// again; drawn in another colour, it is).
class PdfColorContext {
public:
    explicit PdfColorContext(QPDF& pdf);

    const PdfOptionalContent& OptionalContent() const { return mOptional; }

    // A form, tiling pattern or glyph procedure with the colours it inherits.
    using StreamKey = std::tuple<QPDFObjGen, bool, bool, double>;
    std::map<StreamKey, PdfMarks> mmapStreams;
    std::set<QPDFObjGen> mOpenStreams;  // the ones being read, against loops

    // An inline image's data, decoded through a stream of a document of its
    // own (the one stream is reused).
    QPDFObjectHandle InlineImageStream();

private:
    PdfOptionalContent mOptional;
    QPDF mScratch;
    QPDFObjectHandle mInlineStream;
};

// Follows a content stream's colour and painting operators and collects the
// marks it paints in a colour that is not neutral, with where they fall: a
// fill, stroke, text, shading or image of a non-neutral colour, clipped to
// the page's CropBox and the stream's clipping paths, outside hidden optional
// content. Setting a colour paints nothing (cairo and LibreOffice set black
// as "0 0 0 rg", and their pages' DeviceRGB transparency groups paint nothing
// either). Forms, tiling patterns, Type 3 glyphs and annotations that print
// are followed into.
class PdfContentColor final : public QPDFObjectHandle::ParserCallbacks {
public:
    // Whether the page puts non-neutral ink on at least the colour rule's
    // minimal area. Throws qpdf's exceptions for a page whose content cannot
    // be read.
    static bool PageIsColor(QPDFObjectHandle page, PdfColorContext& context);

    void handleObject(QPDFObjectHandle object) override;
    void handleEOF() override {}

private:
    struct GraphicsState {
        PdfColorSpace mFillSpace;
        PdfColorSpace mStrokeSpace;
        bool mblnFillColor = false;
        bool mblnStrokeColor = false;
        QPDFMatrix mCtm;
        PdfBox mClip = PdfBox::Everywhere();
        double mdblLineWidth = 1.0;
        QPDFObjectHandle mFont;
        double mdblFontSize = 0;
        double mdblCharSpacing = 0;
        double mdblWordSpacing = 0;
        double mdblHorizontalScale = 1.0;
        double mdblRise = 0;
        double mdblLeading = 0;
        long long mintTextMode = 0;
    };

    PdfContentColor(PdfColorContext& context, QPDFObjectHandle resources, const GraphicsState& state, int depth,
                    double stopArea);

    // The marks of a nested content stream (form, tiling pattern, glyph)
    // read with the current colours, in the space it is drawn in.
    PdfMarks mNestedMarks(QPDFObjectHandle stream, QPDFObjectHandle resources, const QPDFMatrix& matrix,
                          const PdfBox& clip);
    PdfMarks mFormMarks(QPDFObjectHandle form);
    void mOperator(const std::string& name);
    bool mPathOperator(const std::string& name);
    bool mTextOperator(const std::string& name);
    void mSetColor(bool stroke);
    void mPaint(bool fill, bool stroke);
    void mShowText(long long bytes, double adjustment, const std::string& text);
    void mShowType3(const std::string& text, const PdfBox& extent, const QPDFMatrix& rendering);
    void mAddMark(const PdfBox& box, double area);
    void mAddNested(const PdfMarks& marks);
    void mDoXObject(const std::string& name);
    void mImage(double colorFraction);
    bool mPatternIsColor(const std::string& name, bool stroke);
    void mInlineImage(QPDFObjectHandle data);
    void mMarkedContent(const std::string& name);
    bool mIsHidden() const { return mintHiddenDepth > 0; }
    std::vector<double> mNumbers() const;

    PdfColorContext& mContext;
    QPDFObjectHandle mResources;
    std::vector<GraphicsState> mvecStates;
    std::vector<QPDFObjectHandle> mvecOperands;
    std::vector<QPDFObjectHandle> mvecInlineDictionary;
    int mintDepth;
    double mdblStopArea;
    PdfMarks mMarks;
    PdfBox mPath = PdfBox::Nowhere();  // the current path, in user space
    bool mblnClipPending = false;
    QPDFMatrix mTextMatrix;
    QPDFMatrix mTextLine;
    double mdblLineAdvance = 0;  // text shown since the line began, in ems at most
    std::vector<bool> mvecMarkedHidden;
    int mintHiddenDepth = 0;
    bool mblnUncolored = false;  // a glyph procedure that takes the text's colour (d1)
};

}  // namespace RawPrintData::Pdf
