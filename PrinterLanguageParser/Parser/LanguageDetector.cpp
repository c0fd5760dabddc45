#include "PrinterLanguageParser/Parser/LanguageDetector.h"

#include "PrinterLanguageParser/Parser/CommandText.h"
#include "PrinterLanguageParser/Parser/LanguageSignatures.h"

#include <inttypes.h>

namespace RawPrintData {

namespace {

constexpr unsigned char ESCAPE = 0x1B;

// Starts of Epson jobs that carry no signature of the table, as Debian's
// drivers write them: Epson's job language EJL (Ghostscript's ESC/Page
// lasers send it without the NULs of the signature), the switch to ESC/Page
// that Ghostscript's lp2000 family sends instead of EJL, and the printer
// initialisation ESC @ every ESC/P driver starts with. None of them is a PCL
// command, so such a job is never taken for PCL 5.
struct EpsonStart {
    std::string_view mbytStart;
    RawLanguageType mintLanguage;
};
constexpr std::array<EpsonStart, 3> EPSON_STARTS = {{
    {{"\x1B\x01@EJL", 6}, LANGUAGE_ESCPAGE},
    {{"\x1BS\x1B\x1BS\x1C", 6}, LANGUAGE_ESCPAGE},
    {{"\x1B@", 2}, LANGUAGE_ESCP2},
}};

// Starts of the languages of Debian's drivers that the parser does not read:
// ZjStream (foo2zjs, foo2hp), foo2oak's OAKT, foo2slx's SLX, the framing that
// HP's LIDIL (hpijs) and PPA (pnm2ppa) share, Kodak ESP's job header
// (c2esp's "LockPrinterWait?"), the DeskJet 505J's ESC _ commands and
// Canon's CaPSL (cjet). A job that starts so is passed over to its end: no
// page is counted and nothing fails. None is longer than the universal exit
// language, the longest start the detector waits for.
constexpr std::array<std::string_view, 7> UNREAD_STARTS = {{
    {"JZJZ", 4},
    {"OAKT", 4},
    {"\xA5SLX", 4},
    {"$\x01\x00", 3},
    {"LockPrint", 9},
    {"\x1B@\x1B_", 4},
    {"\x1B;\x1B<", 4},
}};
// KonicaMinolta's packets (min12xxw, m2300w): ESC, the command byte, a
// sequence number, a 16-bit length and the command byte inverted; the job
// starts with command '@', so without the check it would pass for ESC/P.
constexpr std::string_view MINOLTA_START{"\x1B@", 2};
constexpr uint64_t MINOLTA_INVERTED_COMMAND_AT = 5;
constexpr unsigned char MINOLTA_INVERTED_START = 0xFF ^ '@';

// How far the bytes at the offset agree with a start of a language that is
// not read.
TextMatch MatchUnreadStart(const DataBuffer& buffer, uint64_t offset)
{
    bool prefix = false;
    for (std::string_view start : UNREAD_STARTS) {
        const TextMatch match = MatchAt(buffer, offset, start);
        if (match == TextMatch::Full)
            return match;
        prefix = prefix || match == TextMatch::Prefix;
    }
    if (MatchAt(buffer, offset, MINOLTA_START) != TextMatch::None) {
        if (buffer.Length() - offset <= MINOLTA_INVERTED_COMMAND_AT)
            return TextMatch::Prefix;
        if (buffer[offset + MINOLTA_INVERTED_COMMAND_AT] == MINOLTA_INVERTED_START)
            return TextMatch::Full;
    }
    return prefix ? TextMatch::Prefix : TextMatch::None;
}

}  // namespace

const std::array<std::string_view, LanguageDetector::mintLANGUAGE_HEADER_COUNT> LanguageDetector::mbytLANGUAGE_HEADERS = {
    IRawDataParser::mstrUNIVERSAL_EXIT_LANGUAGE,
    LANGUAGE_HEADER_POSTSCRIPT,
    LANGUAGE_HEADER_HPGL,
    LANGUAGE_HEADER_HPGL_ALT,
    LANGUAGE_HEADER_HPGL_ALT2,
    LANGUAGE_HEADER_PCL5,
    LANGUAGE_HEADER_PCL5_ALT,
    LANGUAGE_HEADER_PCL6,
    LANGUAGE_HEADER_PCL6_ALT,
    LANGUAGE_HEADER_CPCA,
    LANGUAGE_HEADER_CALCOMP_DCL,
    LANGUAGE_HEADER_CALCOMP_DATA,
    LANGUAGE_HEADER_CGM,
    LANGUAGE_HEADER_EPS,
    LANGUAGE_HEADER_OCE_JOB,
    LANGUAGE_HEADER_ESCP,
    LANGUAGE_HEADER_ESCP_BONJOUR,
    LANGUAGE_HEADER_PRESCRIBE,
    LANGUAGE_HEADER_PDF,
    LANGUAGE_HEADER_PWG_RASTER,
    LANGUAGE_HEADER_APPLE_RASTER,
};

const std::array<size_t, LanguageDetector::mintLANGUAGE_HEADER_COUNT> LanguageDetector::mintLANGUAGE_HEADER_SIZES = [] {
    std::array<size_t, mintLANGUAGE_HEADER_COUNT> sizes{};
    for (size_t row = 0; row < mintLANGUAGE_HEADER_COUNT; ++row)
        sizes[row] = mbytLANGUAGE_HEADERS[row].size();
    return sizes;
}();

const std::array<RawLanguageType, LanguageDetector::mintLANGUAGE_HEADER_COUNT> LanguageDetector::mintLANGUAGE_HEADER_TYPES = {
    LANGUAGE_PJL,
    LANGUAGE_POSTSCRIPT,
    LANGUAGE_HPGL,
    LANGUAGE_HPGL,
    LANGUAGE_HPGL,
    LANGUAGE_PCL5,
    LANGUAGE_PCL5,
    LANGUAGE_PCL6,
    LANGUAGE_PCL6,
    LANGUAGE_CPCA,
    LANGUAGE_CALCOMP_DCL,
    LANGUAGE_CALCOMP_DATA,
    LANGUAGE_CGM,
    LANGUAGE_EPS,
    LANGUAGE_OCE_JOB,
    LANGUAGE_ESCPAGE,
    LANGUAGE_ESCP_BONJOUR,
    LANGUAGE_PRESCRIBE,
    LANGUAGE_PDF,
    LANGUAGE_PWG_RASTER,
    LANGUAGE_APPLE_RASTER,
};

// Ends the job: bytes that began no language and held no PDF in their first
// KiB were never read.
ParseDataResultType LanguageDetector::ParseDone()
{
    if (!mblnUndecided)
        return PARSE_RESULT_HANDLED;
    mblnUndecided = false;
    Log(LOG_ERROR, "LanguageDetector::ParseDone - Language Detection Failed: the job begins no known language.");
    return PARSE_RESULT_DETECTION_FAILED;
}

// Scans past leading NULs for a signature; switches to its language, waits
// for more data, or fails.
ParseDataResultType LanguageDetector::ParseData(const DataBuffer& buffer)
{
    Log(LOG_DEBUG, "LanguageDetector::ParseData - Start");
    mintBytesProcessed = 0;
    const uint64_t total = buffer.Length();
    if (mblnPassingOver) {
        mintBytesProcessed = total;
        return PARSE_RESULT_HANDLED;
    }
    // The longest signature: with fewer bytes the job's start may still grow
    // into one, so nothing is decided yet.
    const uint64_t window = mintUNIVERSAL_EXIT_LANGUAGE_LENGTH;

    bool allNul = true;
    bool needMoreData = false;
    for (uint64_t offset = 0; offset < total; ++offset) {
        const Detection detection = mintDetectLanguageHeader(buffer, offset);
        if (detection.mintLanguage != LANGUAGE_UNKNOWN) {
            mblnUndecided = false;
            NotifyNextLanguage(detection.mintLanguage);
            Log(LOG_DEBUG, "LanguageDetector::ParseData - End");
            mintBytesProcessed = offset;  // the new parser starts at the signature
            return PARSE_RESULT_SWITCH_LANGUAGE;
        }
        if (detection.mblnNeedMoreData) {
            needMoreData = true;
            break;
        }
        if (detection.mblnUnread) {
            Log(LOG_INFO, "LanguageDetector::ParseData - A language that is not read; the job is passed over.");
            mblnPassingOver = true;
            mintBytesProcessed = total;
            return PARSE_RESULT_HANDLED;
        }
        if (buffer[offset] != 0) {
            allNul = false;
            break;
        }
        mintBytesProcessed = offset + 1;
    }

    if (total < window) {
        // A short job start is examined again from its first byte.
        mintBytesProcessed = 0;
        return PARSE_RESULT_NEED_MORE_DATA;
    }
    if (!allNul && !needMoreData) {
        // Text that begins no language: a PDF may still follow within the
        // first KiB, as PDF readers and printers take it.
        const uint64_t start = mintBytesProcessed;
        const uint64_t found = buffer.Find(LANGUAGE_HEADER_PDF, start);
        if (found != DataBuffer::npos && found - start <= mintPDF_HEADER_WINDOW) {
            Log(LOG_INFO, "LanguageDetector::ParseData - PDF found after %" PRIu64 " bytes of other data.",
                found - start);
            mblnUndecided = false;
            NotifyNextLanguage(LANGUAGE_PDF);
            mintBytesProcessed = found;
            return PARSE_RESULT_SWITCH_LANGUAGE;
        }
        if (total - start < mintPDF_HEADER_WINDOW + LANGUAGE_HEADER_PDF.size()) {
            mblnUndecided = true;
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        mblnUndecided = false;
        Log(LOG_ERROR, "LanguageDetector::ParseData - Language Detection Failed.");
        return PARSE_RESULT_DETECTION_FAILED;
    }
    // Only NULs so far, or NULs and the start of a signature that runs past
    // the data: keep the last bytes, since the ESC/Page signature itself
    // begins with NULs.
    mintBytesProcessed = total - window;
    return PARSE_RESULT_NEED_MORE_DATA;
}

// Tries the signatures at one offset in table order. A signature cut by the
// end of the data that would win over a shorter match (ESC "%-12345X" over
// ESC "%", any signature over the lone ESC) means: wait for more data, so the
// outcome never depends on where the job was cut into chunks.
LanguageDetector::Detection LanguageDetector::mintDetectLanguageHeader(const DataBuffer& buffer, uint64_t offset)
{
    Detection detection;
    for (size_t row = 0; row < mintLANGUAGE_HEADER_COUNT; ++row) {
        const TextMatch match = MatchAt(buffer, offset, mbytLANGUAGE_HEADERS[row]);
        if (match == TextMatch::Prefix) {
            detection.mblnNeedMoreData = true;
        } else if (match == TextMatch::Full) {
            if (detection.mblnNeedMoreData)
                return detection;
            Log(LOG_INFO, "LanguageDetector::ParseData - Language detected: %d", mintLANGUAGE_HEADER_TYPES[row]);
            detection.mintLanguage = mintLANGUAGE_HEADER_TYPES[row];
            return detection;
        }
    }
    if (detection.mblnNeedMoreData)
        return detection;
    const TextMatch unread = MatchUnreadStart(buffer, offset);
    if (unread != TextMatch::None) {
        detection.mblnNeedMoreData = unread == TextMatch::Prefix;
        detection.mblnUnread = unread == TextMatch::Full;
        return detection;
    }
    if (buffer[offset] == '%' || buffer[offset] == '/') {
        // A comment or a name that begins no other language: PostScript
        // without its header line (a bare "%!", a program written by hand),
        // as PostScript printers take it.
        Log(LOG_INFO, "LanguageDetector::ParseData - No language detected, but a PostScript comment or name was. "
                      "Assume PostScript.");
        detection.mintLanguage = LANGUAGE_POSTSCRIPT;
        return detection;
    }
    if (buffer[offset] != ESCAPE)
        return detection;
    // (An ESC at the end of the data has waited above: it may begin ESC E.)
    for (const EpsonStart& start : EPSON_STARTS) {
        const TextMatch match = MatchAt(buffer, offset, start.mbytStart);
        if (match == TextMatch::Prefix) {
            detection.mblnNeedMoreData = true;
            return detection;
        }
        if (match == TextMatch::Full) {
            Log(LOG_INFO, "LanguageDetector::ParseData - No language detected, but an Epson job start was. Assume %d.",
                start.mintLanguage);
            detection.mintLanguage = start.mintLanguage;
            return detection;
        }
    }
    Log(LOG_INFO, "LanguageDetector::ParseData - No language detected, but escape character was. Assume PCL 5.");
    detection.mintLanguage = LANGUAGE_PCL5;
    return detection;
}

}  // namespace RawPrintData
