#pragma once

#include <string_view>

namespace RawPrintData {

// The bytes that open a job (or a part of one) in each language, and the
// trailers that end the languages that are skipped. Escapes are split where a
// hex digit follows them ("\x1B" "E").

inline constexpr std::string_view LANGUAGE_HEADER_POSTSCRIPT{"%!PS", 4};
inline constexpr std::string_view LANGUAGE_HEADER_HPGL{"IN", 2};
inline constexpr std::string_view LANGUAGE_HEADER_HPGL_ALT{"BP", 2};
inline constexpr std::string_view LANGUAGE_HEADER_HPGL_ALT2{"\x1B.", 2};
inline constexpr std::string_view LANGUAGE_HEADER_PCL5{"\x1B" "E", 2};
inline constexpr std::string_view LANGUAGE_HEADER_PCL5_ALT{"\x1B%", 2};
inline constexpr std::string_view LANGUAGE_HEADER_PCL6{") ", 2};
inline constexpr std::string_view LANGUAGE_HEADER_PCL6_ALT{"( ", 2};
inline constexpr std::string_view LANGUAGE_HEADER_CPCA{"\xCD\xCA\x10", 3};
inline constexpr std::string_view LANGUAGE_HEADER_CALCOMP_DCL{"&&&&", 4};
inline constexpr std::string_view LANGUAGE_HEADER_CALCOMP_DATA{"\x16\x16 ", 3};
inline constexpr std::string_view LANGUAGE_HEADER_CGM{"BEGMF", 5};
inline constexpr std::string_view LANGUAGE_HEADER_EPS{"\xC5\xD0\xD3\xC6", 4};
inline constexpr std::string_view LANGUAGE_HEADER_OCE_JOB{"*OceJob", 7};
inline constexpr std::string_view LANGUAGE_HEADER_ESCP{"\0\0\0\x1B\x01@EJL", 9};
inline constexpr std::string_view LANGUAGE_HEADER_ESCP_BONJOUR{"\x1B@\x1B@\x1B(R", 7};
inline constexpr std::string_view LANGUAGE_HEADER_PRESCRIBE{"!R!", 3};
inline constexpr std::string_view LANGUAGE_HEADER_PDF{"%PDF-", 5};
inline constexpr std::string_view LANGUAGE_HEADER_PWG_RASTER{"RaS2", 4};
inline constexpr std::string_view LANGUAGE_HEADER_APPLE_RASTER{"UNIRAST\0", 8};

inline constexpr std::string_view LANGUAGE_TRAILER_CALCOMP_DCL{"^^^^END OF FILE\r\n\r\n", 19};
inline constexpr std::string_view LANGUAGE_TRAILER_OCE_JOB{"*OceJobData\n", 12};

}  // namespace RawPrintData
