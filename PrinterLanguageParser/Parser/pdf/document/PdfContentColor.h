#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/ColorVerdict.h"
#include "PrinterLanguageParser/Parser/pdf/document/ContentStreamReader.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfColorSpace.h"
#include "PrinterLanguageParser/Parser/pdf/document/WorkBudget.h"

#include <qpdf/InputSource.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <map>
#include <string>
#include <vector>

namespace RawPrintData::Pdf {

// The colour state that content inherits from what draws it.
struct GraphicsState {
    PdfColorSpace mFillSpace;
    PdfColorSpace mStrokeSpace;
    bool mblnFillColor = false;
    bool mblnStrokeColor = false;
    long long mintTextMode = 0;
};

// One job's judge of colour: reads pages' content as it is decoded, within
// the job's work budget, and judges each form, tiling pattern and image once
// per job for the state it is drawn in, however many pages draw it.
class PdfColorJudge {
public:
    // input: the source qpdf reads the document from; budget: the job's.
    PdfColorJudge(InputSource& input, WorkBudget& budget) : mInput(input), mBudget(budget) {}

    Judgement Page(QPDFObjectHandle page);

    // A form or tiling pattern drawn with the resources and state at the
    // nesting depth.
    Judgement Nested(QPDFObjectHandle stream, QPDFObjectHandle resources, const GraphicsState& state, int depth);
    // An image XObject in its colour space.
    Judgement Image(QPDFObjectHandle image, const PdfColorSpace& space);

    InputSource& Input() { return mInput; }

    // How deep forms and patterns may draw one another.
    static constexpr int MAX_NESTING = 12;

private:
    // Reads a content stream, or an array of them, to a verdict.
    Judgement mRead(QPDFObjectHandle contents, QPDFObjectHandle resources, const GraphicsState& state, int depth);
    // The cached verdict of the key, or the one made and kept.
    template <typename Make> Judgement mOnce(const std::string& key, Make make);

    InputSource& mInput;
    WorkBudget& mBudget;
    std::map<std::string, Judgement> mCache;
};

// Follows a content stream's colour operators and tells whether it paints in
// colour: a fill, stroke, text, shading or image whose colour is not grey.
// Setting a colour paints nothing (cairo and LibreOffice set black as
// "0 0 0 rg", and their pages' DeviceRGB transparency groups paint nothing
// either). Form XObjects, tiling patterns and images are judged through the
// job's judge.
class PdfContentColor final : public ContentSink {
public:
    PdfContentColor(PdfColorJudge& judge, QPDFObjectHandle resources, const GraphicsState& state, int depth);

    void HandleObject(QPDFObjectHandle object) override;
    bool Finished() const override { return mJudgement.Decided(); }

    const Judgement& Result() const { return mJudgement; }

private:
    void mOperator(const std::string& name);
    void mSetColor(bool stroke);
    void mPaint(bool fill, bool stroke);
    void mFound();
    void mTake(const Judgement& judgement);
    Judgement mXObject(const std::string& name);
    Judgement mPattern(const std::string& name);
    bool mShadingIsColor(QPDFObjectHandle shading);
    bool mInlineImageIsColor();
    std::vector<double> mNumbers() const;

    PdfColorJudge& mJudge;
    QPDFObjectHandle mResources;
    std::vector<GraphicsState> mvecStates;
    std::vector<QPDFObjectHandle> mvecOperands;
    int mintDepth;
    Judgement mJudgement;
};

}  // namespace RawPrintData::Pdf
