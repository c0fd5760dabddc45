#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/ColorVerdict.h"
#include "PrinterLanguageParser/Parser/pdf/document/ContentStreamReader.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfBox.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfColorSpace.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfOptionalContent.h"
#include "PrinterLanguageParser/Parser/pdf/document/WorkBudget.h"

#include <qpdf/InputSource.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFMatrix.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace RawPrintData::Pdf {

// The graphics state that content inherits from what draws it: colours,
// where it lands (the matrix to the space the reading started in, the clip's
// box there), the line width and the text state.
struct GraphicsState {
    PdfColorSpace mFillSpace;
    PdfColorSpace mStrokeSpace;
    bool mblnFillColor = false;
    bool mblnStrokeColor = false;
    long long mintTextMode = 0;
    QPDFMatrix mCtm;
    PdfBox mClip = PdfBox::Everywhere();
    double mdblLineWidth = 1.0;
    QPDFObjectHandle mFont;
    bool mblnType3Font = false;
    double mdblFontSize = 0;
    double mdblCharSpacing = 0;
    double mdblWordSpacing = 0;
    double mdblHorizontalScale = 1.0;
    double mdblRise = 0;
    double mdblLeading = 0;
};

// One job's judge of colour: reads pages' content as it is decoded, within
// the job's work budget, and judges each form, tiling pattern, glyph and
// image once per job for the state it is drawn in, however many pages draw
// it. A page is colour when the non-neutral marks that print on it cover the
// colour rule's minimal area.
class PdfColorJudge {
public:
    // pdf: the document (its optional content); input: the source qpdf
    // reads it from; budget: the job's.
    PdfColorJudge(QPDF& pdf, InputSource& input, WorkBudget& budget);

    Judgement Page(QPDFObjectHandle page);

    // A form, tiling pattern or glyph drawn with the resources and state at
    // the nesting depth; its marks are in the space it is drawn in.
    // uncolored: a glyph of the text's colour (d1), which sets none;
    // stopArea: reading may stop once the marks cover it.
    Judgement Nested(QPDFObjectHandle stream, QPDFObjectHandle resources, const GraphicsState& state, int depth,
                     bool uncolored = false, double stopArea = std::numeric_limits<double>::infinity());
    // An image XObject in its colour space; its marks are in the unit square
    // it fills, and reading may stop once they cover stopShare of it.
    Judgement Image(QPDFObjectHandle image, const PdfColorSpace& space, double stopShare);
    // Whether a shading may paint colour, judged once per job.
    bool ShadingIsColor(QPDFObjectHandle shading, QPDFObjectHandle resources);
    // An inline image's samples with its dictionary (full key names).
    Judgement InlineImage(const std::string& data, QPDFObjectHandle dictionary, const PdfColorSpace& space,
                          double stopShare);

    const PdfOptionalContent& OptionalContent() const { return mOptional; }
    InputSource& Input() { return mInput; }

    // How deep forms and patterns may draw one another.
    static constexpr int MAX_NESTING = 12;

private:
    // Reads a content stream, or an array of them, to a verdict; reading
    // stops once the marks cover stopArea.
    Judgement mRead(QPDFObjectHandle contents, QPDFObjectHandle resources, const GraphicsState& state, int depth,
                    double stopArea, bool uncolored);
    // The cached verdict of the key, or the one made and kept; a cut one
    // serves a reading that may stop at no more than it covers.
    template <typename Make>
    Judgement mOnce(const std::string& key, Make make, double stopArea = std::numeric_limits<double>::infinity());

    InputSource& mInput;
    WorkBudget& mBudget;
    std::map<std::string, Judgement> mCache;
    std::map<std::string, bool> mShadings;
    PdfOptionalContent mOptional;
    // Inline images are decoded through a stream of a document of its own,
    // made for the first one.
    std::unique_ptr<QPDF> mScratch;
    QPDFObjectHandle mInlineStream;
};

// Follows a content stream's colour and painting operators and collects the
// marks it paints in a colour that is not neutral, with where they fall: a
// fill, stroke, text, shading or image of a non-neutral colour, clipped to
// the clipping paths' boxes (and a page's CropBox), outside hidden optional
// content. Setting a colour paints nothing (cairo and LibreOffice set black
// as "0 0 0 rg", and their pages' DeviceRGB transparency groups paint nothing
// either). Forms, tiling patterns, Type 3 glyphs and images are judged
// through the job's judge.
class PdfContentColor final : public ContentSink {
public:
    PdfContentColor(PdfColorJudge& judge, QPDFObjectHandle resources, const GraphicsState& state, int depth,
                    double stopArea, bool uncolored);

    void HandleObject(QPDFObjectHandle object) override;
    bool Finished() const override;

    Judgement Result() const;

private:
    void mOperator(const std::string& name);
    bool mPathOperator(const std::string& name);
    bool mTextOperator(const std::string& name);
    void mSetColor(bool stroke);
    void mPaint(bool fill, bool stroke);
    void mShowText(long long bytes, double adjustment, const std::string& text);
    void mShowLongText();
    void mShowType3(const std::string& text, const PdfBox& extent, const QPDFMatrix& rendering);
    void mAddMark(const PdfBox& box, double area);
    // A nested stream's or image's verdict; its marks drawn with the matrix.
    void mTake(const Judgement& judgement, const QPDFMatrix& matrix);
    // Whether the marks drawn with the matrix would cover the stop area.
    bool mWouldFinish(const Judgement& judgement, const QPDFMatrix& matrix) const;
    void mXObject(const std::string& name);
    void mImage(const Judgement& judgement);
    void mImage(const std::function<Judgement(double)>& judge);
    Judgement mPattern(const std::string& name, bool stroke);
    void mInlineImage(QPDFObjectHandle data);
    void mMarkedContent(const std::string& name);
    bool mIsHidden() const { return mintHiddenDepth > 0; }
    std::vector<double> mNumbers() const;

    PdfColorJudge& mJudge;
    QPDFObjectHandle mResources;
    std::vector<GraphicsState> mvecStates;
    std::vector<QPDFObjectHandle> mvecOperands;
    std::vector<QPDFObjectHandle> mvecInlineDictionary;
    bool mblnInlinePending = false;  // an inline image's samples are awaited
    int mintDepth;
    double mdblStopArea;
    bool mblnUncolored;  // a glyph that takes the text's colour (d1)
    PdfMarks mMarks;
    Judgement mTrouble;  // Unknown when the colour could not be ruled out
    PdfBox mPath = PdfBox::Nowhere();  // the current path, in user space
    bool mblnClipPending = false;
    QPDFMatrix mTextMatrix;
    QPDFMatrix mTextLine;
    double mdblLineAdvance = 0;  // text shown since the line began, in ems at most
    std::vector<bool> mvecMarkedHidden;
    int mintHiddenDepth = 0;
};

}  // namespace RawPrintData::Pdf
