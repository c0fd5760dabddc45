#include "PrinterLanguageParser/Parser/pjl/PJLParser.h"

#include "PrinterLanguageParser/Parser/CommandText.h"
#include "PrinterLanguageParser/Parser/LanguageSignatures.h"
#include "PrinterLanguageParser/Parser/PaperName.h"
#include "PrinterLanguageParser/Parser/ParserLimits.h"

#include <algorithm>
#include <array>
#include <limits>

namespace RawPrintData::PJL {

namespace {

// A Prescribe command block, as vendor job headers put one between PJL lines
// ("!R! ...; EXIT;").
constexpr std::string_view PRESCRIBE_START{"!R!"};

// The PCL XL stream header, as it follows an ENTER LANGUAGE of a name that
// is not read (Ghostscript's pxldpl enters PCL XL as DPL).
constexpr std::string_view PCL_XL_STREAM{") HP-PCL XL"};
// Starts of languages that drivers send after PJL lines without ENTER
// LANGUAGE, which the printer senses by itself and the parser does not read:
// foo2zjs's ZjStream and foo2xqx's XQX.
constexpr std::array<std::string_view, 2> SENSED_UNREAD_LANGUAGES = {"JZJZ", ",XQX"};
// The starts of a PostScript document a printer senses after PJL.
constexpr std::array<std::string_view, 2> POSTSCRIPT_STARTS = {"%!", "%%"};

// The language an ENTER LANGUAGE value names, or LANGUAGE_UNKNOWN. The name
// ends at a control character: hpijs writes "PCL3" and a reset before the
// line feed. The PCL 5 reader reads the PCL 3 of inkjets (PCL3GUI of hpcups,
// PCL3E of hpijs) and RTL raster too.
RawLanguageType LanguageNamed(const PJLCommand& command)
{
    std::string_view name = command.GetOptionValue();
    const auto control =
        std::find_if(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    name = TrimText(name.substr(0, static_cast<size_t>(control - name.begin())));
    const auto is = [name](std::string_view value) { return EqualsIgnoringCase(name, value); };
    if (is("POSTSCRIPT") || is("PS"))
        return LANGUAGE_POSTSCRIPT;
    if (is("PCL") || is("PCL3") || is("PCL3E") || is("PCL3GUI") || is("PCL5") || is("PCL5C") || is("PCL5E") ||
        is("RTL"))
        return LANGUAGE_PCL5;
    if (is("PCLXL") || is("XL2HB") || is("PCL6"))
        return LANGUAGE_PCL6;
    if (is("HPGL") || is("HPGL2"))
        return LANGUAGE_HPGL;
    if (is("PDF"))
        return LANGUAGE_PDF;
    return LANGUAGE_UNKNOWN;
}

// The end of the line that starts at the index: its line feed, a universal
// exit language inside it (which ends every PJL line), or, when neither is
// there, the end of the data less a possible start of the exit language cut
// by it. lineComplete tells whether the line ended in the data.
uint64_t FindLineEnd(const DataBuffer& buffer, uint64_t index, std::string_view exit, bool& lineComplete)
{
    const uint64_t total = buffer.Length();
    for (uint64_t at = index; at < total; ++at) {
        const unsigned char byte = buffer[at];
        if (byte == '\n') {
            lineComplete = true;
            return at;
        }
        if (byte != 0x1B)
            continue;
        const TextMatch match = MatchAt(buffer, at, exit);
        if (match == TextMatch::Full) {
            lineComplete = true;
            return at;
        }
        if (match == TextMatch::Prefix) {
            lineComplete = false;
            return at;
        }
    }
    lineComplete = false;
    return total;
}

}  // namespace

// Reads lines up to each line feed and handles them. A universal exit language
// at the start of a line is passed over; one cut by the end of the data is
// left unconsumed, so it is recognised whole with the next chunk.
ParseDataResultType PJLParser::ParseData(const DataBuffer& buffer)
{
    mintBytesProcessed = 0;
    const uint64_t total = buffer.Length();
    if (total == 0)
        return PARSE_RESULT_NEED_MORE_DATA;

    uint64_t position = 0;
    while (position < total) {
        if (mblnSkippingLanguage) {
            const uint64_t exit = buffer.Find(mstrUNIVERSAL_EXIT_LANGUAGE, position);
            if (exit == DataBuffer::npos) {
                mintBytesProcessed = ResumeMarkerSearch(buffer, position, mstrUNIVERSAL_EXIT_LANGUAGE);
                return PARSE_RESULT_NEED_MORE_DATA;
            }
            mblnSkippingLanguage = false;
            position = exit;
        }
        if (!mblnLinePending) {
            const TextMatch exit = MatchAt(buffer, position, mstrUNIVERSAL_EXIT_LANGUAGE);
            if (exit == TextMatch::Full) {
                position += mstrUNIVERSAL_EXIT_LANGUAGE.size();
                mblnSensingAfterEnter = false;
                continue;
            }
            if (exit == TextMatch::None) {
                // NUL padding between the jobs of one file (hpijs) is passed over.
                if (buffer[position] == 0) {
                    ++position;
                    continue;
                }
                const ParseDataResultType sensed = mintSenseLanguage(buffer, position);
                if (sensed == PARSE_RESULT_SWITCH_LANGUAGE)
                    return sensed;
                if (sensed == PARSE_RESULT_NEED_MORE_DATA) {
                    mintBytesProcessed = position;
                    return sensed;
                }
                if (mblnSkippingLanguage)
                    continue;
            }
            const TextMatch prescribe = MatchAt(buffer, position, PRESCRIBE_START);
            if (exit == TextMatch::Prefix || prescribe == TextMatch::Prefix) {
                mintBytesProcessed = position;
                return PARSE_RESULT_NEED_MORE_DATA;
            }
            if (prescribe == TextMatch::Full) {
                // Prescribe reads its commands up to EXIT and gives the job
                // back here.
                NotifyNextLanguage(LANGUAGE_PRESCRIBE);
                mintBytesProcessed = position;
                return PARSE_RESULT_SWITCH_LANGUAGE;
            }
            // Driverless printers take PDF after a PJL header, with or
            // without ENTER LANGUAGE = PDF.
            const TextMatch pdf = MatchAt(buffer, position, LANGUAGE_HEADER_PDF);
            if (pdf == TextMatch::Full) {
                NotifyNextLanguage(LANGUAGE_PDF);
                mintBytesProcessed = position;
                return PARSE_RESULT_SWITCH_LANGUAGE;
            }
            if (pdf == TextMatch::Prefix) {
                mintBytesProcessed = position;
                return PARSE_RESULT_NEED_MORE_DATA;
            }
        }
        bool lineComplete = false;
        const uint64_t lineEnd = FindLineEnd(buffer, position, mstrUNIVERSAL_EXIT_LANGUAGE, lineComplete);
        for (uint64_t index = position; index < lineEnd && mstrCurrentLine.size() < MAX_COMMAND_TEXT; ++index)
            mstrCurrentLine.push_back(static_cast<char>(buffer[index]));
        mblnLinePending = true;
        if (!lineComplete) {
            // A possible exit language cut by the chunk's end is read again.
            mintBytesProcessed = lineEnd;
            return PARSE_RESULT_NEED_MORE_DATA;
        }

        // The line feed is consumed; a universal exit language is read as
        // the next line's start.
        position = buffer[lineEnd] == '\n' ? lineEnd + 1 : lineEnd;
        const ParseDataResultType result = mintHandleCurrentCommand(mstrCurrentLine);
        mstrCurrentLine.clear();
        mblnLinePending = false;
        if (result == PARSE_RESULT_SWITCH_LANGUAGE || result < 0) {
            // The next language starts after this line's line feed.
            mintBytesProcessed = position;
            return result;
        }
    }
    mintBytesProcessed = total;
    return mblnLinePending ? PARSE_RESULT_NEED_MORE_DATA : PARSE_RESULT_HANDLED;
}

// At the start of a line: data that is no PJL line but another language
// that the printer senses by itself. After an ENTER LANGUAGE of a name that
// is not read, PCL XL by its stream header, else that language is passed
// over. Without ENTER LANGUAGE: PCL 5 by its escape character (Ghostscript's
// ljet4 through foomatic, and hpijs's reset before each job), and the binary
// data of a language that is not read, by a start of its own or by a control
// character no PJL line begins with, passed over up to the universal exit.
// SWITCH_LANGUAGE, NEED_MORE_DATA when the data ends inside a start, or
// HANDLED (mblnSkippingLanguage tells whether the data is passed over).
ParseDataResultType PJLParser::mintSenseLanguage(const DataBuffer& buffer, uint64_t position)
{
    if (mblnSensingAfterEnter) {
        const TextMatch stream = MatchAt(buffer, position, PCL_XL_STREAM);
        if (stream == TextMatch::Prefix)
            return PARSE_RESULT_NEED_MORE_DATA;
        mblnSensingAfterEnter = false;
        if (stream == TextMatch::Full) {
            NotifyNextLanguage(LANGUAGE_PCL6);
            mintBytesProcessed = position;
            return PARSE_RESULT_SWITCH_LANGUAGE;
        }
        mblnSkippingLanguage = true;
        NotifyDataNotCounted("PJL: the data of a language that is not read, entered by name, is passed over");
        return PARSE_RESULT_HANDLED;
    }
    const unsigned char first = buffer[position];
    if (first == 0x1B) {
        Log(LOG_INFO, "PJLParser::ParseData - PCL 5 follows without ENTER LANGUAGE");
        NotifyNextLanguage(LANGUAGE_PCL5);
        mintBytesProcessed = position;
        return PARSE_RESULT_SWITCH_LANGUAGE;
    }
    // PostScript by its header or a DSC comment: a second document of the
    // job after the first one's job end, or a queue whose job start has no
    // ENTER LANGUAGE.
    for (std::string_view start : POSTSCRIPT_STARTS) {
        const TextMatch match = MatchAt(buffer, position, start);
        if (match == TextMatch::Prefix)
            return PARSE_RESULT_NEED_MORE_DATA;
        if (match == TextMatch::Full) {
            Log(LOG_INFO, "PJLParser::ParseData - PostScript follows without ENTER LANGUAGE");
            NotifyNextLanguage(LANGUAGE_POSTSCRIPT);
            mintBytesProcessed = position;
            return PARSE_RESULT_SWITCH_LANGUAGE;
        }
    }
    bool unread = first < 0x20 && first != '\t' && first != '\r' && first != '\n' && first != '\f';
    for (std::string_view start : SENSED_UNREAD_LANGUAGES) {
        const TextMatch match = MatchAt(buffer, position, start);
        if (match == TextMatch::Prefix)
            return PARSE_RESULT_NEED_MORE_DATA;
        unread = unread || match == TextMatch::Full;
    }
    if (unread) {
        NotifyDataNotCounted("PJL: the data of a language that is not read follows; it is passed over");
        mblnSkippingLanguage = true;
    }
    return PARSE_RESULT_HANDLED;
}

// Acts on one line. Blank lines (a job ending in the universal exit language
// and CR LF has one) are passed over; any other line that is not PJL fails
// the call where it is met, so the outcome does not depend on how the job
// was cut into chunks.
ParseDataResultType PJLParser::mintHandleCurrentCommand(std::string_view line)
{
    const PJLCommand command(line);
    if (!command.IsPJL())
        return TrimText(line).empty() ? PARSE_RESULT_HANDLED : PARSE_RESULT_FAILURE;

    Log(LOG_DEBUG, "PJLParser::HandleCurrentCommand - Command is: %s", command.GetCommandName().c_str());
    ParseDataResultType result = PARSE_RESULT_HANDLED;
    if (command.CommandNameIs("ENTER"))
        mHandleEnter(command, result);
    else if (command.CommandNameIs("SET"))
        mHandleSet(command);
    else if (command.CommandNameIs("COMMENT"))
        mHandleComment(command);
    else if (command.CommandNameIs("XCPT"))
        mHandleXcpt(command);
    return result;
}

// ENTER LANGUAGE = name: hands the data after this line to that language.
void PJLParser::mHandleEnter(const PJLCommand& command, ParseDataResultType& result)
{
    if (!command.OptionNameIs("LANGUAGE"))
        return;
    const RawLanguageType language = LanguageNamed(command);
    if (language == LANGUAGE_UNKNOWN) {
        // Another language (ZJS, LIPS, ...): its pages are not counted,
        // unless its data is PCL XL by another name.
        Log(LOG_INFO, "PJLParser::HandleEnter - Language %s is not read unless it is PCL XL",
            command.GetOptionValue().c_str());
        mblnSensingAfterEnter = true;
        return;
    }
    NotifyNextLanguage(language);
    result = PARSE_RESULT_SWITCH_LANGUAGE;
}

// SET name = value: copies, duplex, orientation, paper and colour settings.
void PJLParser::mHandleSet(const PJLCommand& command)
{
    if (command.OptionNameIs("COPIES") || command.OptionNameIs("QTY")) {
        mReportCopies(command.OptionValueAsUnsigned());
    } else if (command.OptionNameIs("DUPLEX")) {
        const bool duplex = command.OptionValueIs("ON");
        NotifyJobPropertyChanged(PROPERTY_DUPLEX, &duplex);
    } else if (command.OptionNameIs("ORIENTATION")) {
        const RawPaperOrientation orientation =
            command.OptionValueIs("LANDSCAPE") ? ORIENTATION_LANDSCAPE : ORIENTATION_PORTRAIT;
        NotifyJobPropertyChanged(PROPERTY_DEFAULT_ORIENTATION, &orientation);
    } else if (command.OptionNameIs("PAPER")) {
        NotifyJobPropertyChanged(PROPERTY_DEFAULT_PAGE_SIZE, command.GetOptionValue().c_str());
        // A paper known by name gets its size too.
        if (const std::optional<KnownPaper> paper = LookUpKnownPaper(command.GetOptionValue())) {
            const int width = paper->mintWidth;
            const int height = paper->mintHeight;
            NotifyJobPropertyChanged(PROPERTY_DEFAULT_PAGE_WIDTH, &width);
            NotifyJobPropertyChanged(PROPERTY_DEFAULT_PAGE_HEIGHT, &height);
        }
    } else if (command.OptionNameIs("RENDERMODE") || command.OptionNameIs("DATAMODE") ||
               command.OptionNameIs("KCOLORMODE")) {
        // AUTOCOLOR (Fuji Xerox) prints the colour pages in colour.
        const bool color = command.OptionValueIs("COLOR") || command.OptionValueIs("AUTOCOLOR");
        mReportColorType(color ? COLOR_TYPE_COLOR : COLOR_TYPE_GRAYSCALE);
    } else if (command.OptionNameIs("PAPERLENGTH") || command.OptionNameIs("PAPERWIDTH")) {
        const uint64_t decipoints = command.OptionValueAsUnsigned();
        if (decipoints == 0)
            return;
        const int size = mintConvertPJLSizeToRawSize(decipoints);
        NotifyJobPropertyChanged(command.OptionNameIs("PAPERLENGTH") ? PROPERTY_DEFAULT_PAGE_HEIGHT
                                                                    : PROPERTY_DEFAULT_PAGE_WIDTH,
                                 &size);
    } else if (command.OptionNameIs("PLANESINUSE")) {
        const uint64_t planes = command.OptionValueAsUnsigned();
        if (planes != 0)
            // One plane in use prints the job grey.
            mReportColorType(planes == 3 ? COLOR_TYPE_COLOR : COLOR_TYPE_GRAYSCALE);
    }
}

// XCPT <copies>n</copies> and <color-effects-type>...</color-effects-type>.
void PJLParser::mHandleXcpt(const PJLCommand& command)
{
    if (command.OptionNameIs("copies"))
        mReportCopies(command.OptionValueAsUnsigned());
    else if (command.OptionNameIs("color-effects-type"))
        mReportColorType(command.OptionValueIs("color") ? COLOR_TYPE_COLOR : COLOR_TYPE_GRAYSCALE);
}

// COMMENT %%Requirements: ... carries the job's DSC requirements.
void PJLParser::mHandleComment(const PJLCommand& command)
{
    HandleDscRequirementsComment(command.GetText());
}

// Reports a copy count; 0 (also what a negative or unreadable value gives) is
// ignored and larger counts are cut to what a printer accepts.
void PJLParser::mReportCopies(uint64_t copies)
{
    if (copies == 0)
        return;
    const unsigned long count = static_cast<unsigned long>(std::min<uint64_t>(copies, MAX_COPIES));
    NotifyJobPropertyChanged(PROPERTY_COPIES, &count);
}

// Reports a colour type.
void PJLParser::mReportColorType(RawColorType color)
{
    NotifyJobPropertyChanged(PROPERTY_COLOR_TYPE, &color);
}

// value × 254 / 720 in integers; a value so large that the product would
// overflow saturates.
int32_t PJLParser::mintConvertPJLSizeToRawSize(uint64_t decipoints)
{
    constexpr uint64_t LIMIT = std::numeric_limits<uint64_t>::max() / 254;
    const uint64_t tenths = decipoints > LIMIT ? std::numeric_limits<uint64_t>::max() : decipoints * 254 / 720;
    return ClampToInt32(tenths);
}

}  // namespace RawPrintData::PJL
