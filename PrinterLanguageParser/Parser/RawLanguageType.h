#pragma once

#include <cstddef>
#include <cstdint>

namespace RawPrintData {

// The printer languages of a job. The value also indexes the handler's table
// of parser objects; as the target of a switch, 0 may mean "back to the
// previous language" (see IRawDataParserListener::OnNextLanguage).
enum RawLanguageType : int32_t {
    LANGUAGE_UNKNOWN = 0,  // detection
    LANGUAGE_POSTSCRIPT = 1,
    LANGUAGE_PCL5 = 2,
    LANGUAGE_PCL6 = 3,
    LANGUAGE_PJL = 4,
    LANGUAGE_HPGL = 5,
    LANGUAGE_CALCOMP_DCL = 6,
    LANGUAGE_CALCOMP_DATA = 7,
    LANGUAGE_CGM = 8,
    LANGUAGE_OCE_JOB = 9,
    LANGUAGE_EPS = 10,
    LANGUAGE_CPCA = 11,
    LANGUAGE_ESCPAGE = 12,
    LANGUAGE_ESCP2 = 13,
    LANGUAGE_ESCP_BONJOUR = 14,
    LANGUAGE_PRESCRIBE = 15,
    // The driverless formats: read from the whole job once it is complete.
    LANGUAGE_PDF = 16,  // PDF and PCLm
    LANGUAGE_PWG_RASTER = 17,
    LANGUAGE_APPLE_RASTER = 18,
};

// Number of languages, and so of parser slots in a handler.
inline constexpr size_t RAW_LANGUAGE_COUNT = 19;

// Whether a number names one of the languages above.
constexpr bool IsKnownLanguage(int32_t language)
{
    return language >= 0 && static_cast<size_t>(language) < RAW_LANGUAGE_COUNT;
}

}  // namespace RawPrintData
