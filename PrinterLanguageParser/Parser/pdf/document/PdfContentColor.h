#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/PdfColorSpace.h"

#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <set>
#include <vector>

namespace RawPrintData::Pdf {

// Follows a content stream's colour operators and tells whether it paints in
// colour: a fill, stroke, text, shading or image whose colour is not grey.
// Setting a colour paints nothing (cairo and LibreOffice set black as
// "0 0 0 rg", and their pages' DeviceRGB transparency groups paint nothing
// either). Form XObjects, tiling patterns and images are followed into.
class PdfContentColor final : public QPDFObjectHandle::ParserCallbacks {
public:
    // Whether the page paints in colour. Throws qpdf's exceptions for a page
    // whose content cannot be read.
    static bool PageIsColor(QPDFObjectHandle page);

    void handleObject(QPDFObjectHandle object) override;
    void handleEOF() override {}

private:
    struct GraphicsState {
        PdfColorSpace mFillSpace;
        PdfColorSpace mStrokeSpace;
        bool mblnFillColor = false;
        bool mblnStrokeColor = false;
        long long mintTextMode = 0;
    };

    PdfContentColor(QPDFObjectHandle resources, const GraphicsState& state, int depth, std::set<QPDFObjGen>& seen);

    // Runs a nested content stream (form, tiling pattern) with its resources.
    bool mNestedIsColor(QPDFObjectHandle stream);
    void mOperator(const std::string& name);
    void mSetColor(bool stroke);
    void mPaint(bool fill, bool stroke);
    void mFound();
    bool mXObjectIsColor(const std::string& name);
    bool mPatternIsColor(const std::string& name);
    bool mShadingIsColor(QPDFObjectHandle shading);
    bool mInlineImageIsColor();
    std::vector<double> mNumbers() const;

    QPDFObjectHandle mResources;
    std::vector<GraphicsState> mvecStates;
    std::vector<QPDFObjectHandle> mvecOperands;
    int mintDepth;
    std::set<QPDFObjGen>& mSeen;
    bool mblnColor = false;
    bool mblnInInlineImage = false;
};

}  // namespace RawPrintData::Pdf
