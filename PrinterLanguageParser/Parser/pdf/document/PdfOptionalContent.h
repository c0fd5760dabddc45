#pragma once

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <set>

namespace RawPrintData::Pdf {

// Which optional content (layers) a document prints: the default
// configuration's states, with a layer's print state where the configuration
// applies it when printing. What cannot be told (visibility expressions,
// unknown objects) prints.
class PdfOptionalContent {
public:
    explicit PdfOptionalContent(QPDF& pdf);

    // Whether content marked with the group or membership dictionary is
    // hidden.
    bool IsHidden(QPDFObjectHandle content) const;

private:
    bool mGroupIsOn(QPDFObjectHandle group) const;

    bool mblnBaseOff = false;
    bool mblnPrintStates = false;  // the configuration applies print states
    std::set<QPDFObjGen> mOn;
    std::set<QPDFObjGen> mOff;
};

}  // namespace RawPrintData::Pdf
