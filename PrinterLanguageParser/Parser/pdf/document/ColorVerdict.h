#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/PdfBox.h"

#include <string>

namespace RawPrintData::Pdf {

// What reading a page, form or image tells about its colour. Unknown: the
// colour could not be ruled out (a limit met, damaged data), and the page
// then counts as colour.
enum class ColorVerdict { Mono, Color, Unknown };

// A verdict with the reason an Unknown one carries, and for content the
// colour marks it paints, in the space it starts in.
struct Judgement {
    ColorVerdict meVerdict = ColorVerdict::Mono;
    std::string mstrTrouble;
    PdfMarks mMarks;
    // Reading stopped once the marks covered mdblCutAt: there may be more.
    bool mblnCut = false;
    double mdblCutAt = 0;

    Judgement() = default;
    Judgement(ColorVerdict verdict, std::string trouble) : meVerdict(verdict), mstrTrouble(std::move(trouble)) {}

    static Judgement Unknown(std::string trouble) { return {ColorVerdict::Unknown, std::move(trouble)}; }
    bool Decided() const { return meVerdict != ColorVerdict::Mono; }
};

}  // namespace RawPrintData::Pdf
