#pragma once

#include "PrinterLanguageParser/Parser/RawLanguageType.h"

namespace RawPrintData {

// A language's name as log lines give it.
constexpr const char* LanguageName(RawLanguageType language)
{
    constexpr const char* NAMES[RAW_LANGUAGE_COUNT] = {
        "unrecognised", "PostScript", "PCL 5",  "PCL XL", "PJL",        "HP-GL/2",   "CalComp DCL",
        "CalComp",    "CGM",        "Oce",    "EPS",    "CPCA",       "ESC/Page",  "ESC/P 2",
        "ESC/P",      "Prescribe",  "PDF",    "PWG Raster", "Apple Raster",
    };
    return IsKnownLanguage(language) ? NAMES[static_cast<size_t>(language)] : "Unknown";
}

}  // namespace RawPrintData
