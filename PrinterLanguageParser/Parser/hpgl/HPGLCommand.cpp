#include "PrinterLanguageParser/Parser/hpgl/HPGLCommand.h"

#include "PrinterLanguageParser/Parser/CommandText.h"
#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/ParserStrategies.h"
#include "PrinterLanguageParser/Parser/hpgl/HPGLParser.h"
#include "PrinterLanguageParser/Parser/hpgl/HPGLStrategies.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace RawPrintData::HPGL {

namespace {

constexpr unsigned char ESCAPE = 0x1B;
constexpr unsigned char QUOTE = '"';

bool IsLetter(unsigned char byte)
{
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

unsigned char UpperCase(unsigned char byte)
{
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

}  // namespace

// Takes the mnemonic and decides where its parameters end.
HPGLCommand::HPGLCommand(unsigned char first, unsigned char second)
    : mbytMnemonic{static_cast<char>(UpperCase(first)), static_cast<char>(UpperCase(second))}
{
    if (first == ESCAPE && second == '.')
        mintKind = ParameterKind::DeviceControl;
    else if (mIs('C', 'O'))
        mintKind = ParameterKind::Comment;
    else if (mIs('L', 'B'))
        mintKind = ParameterKind::Label;
    else if (mIs('P', 'E') || mIs('R', 'P'))
        mintKind = ParameterKind::UpToSemicolon;
}

// Reads parameter bytes until the command ends or the data does. A universal
// exit language ends any command, even inside a label or a quoted text, since
// it ends HP-GL/2 on a printer; one cut by the end of the data is waited for.
HPGLCommand::ReadResult HPGLCommand::ReadToEndOfCommand(const DataBuffer& buffer, uint64_t position,
                                                       unsigned char labelTerminator)
{
    const uint64_t total = buffer.Length();
    for (; position < total; ++position) {
        const unsigned char byte = buffer[position];
        if (byte == ESCAPE) {
            const TextMatch exit = MatchAt(buffer, position, IRawDataParser::mstrUNIVERSAL_EXIT_LANGUAGE);
            if (exit == TextMatch::Full)
                return {true, position};
            if (exit == TextMatch::Prefix)
                return {false, position};
        }
        bool consumed = false;
        if (mReadByte(byte, labelTerminator, consumed))
            return {true, consumed ? position + 1 : position};
    }
    return {false, total};
}

// Takes one parameter byte by the rules of the command's kind.
bool HPGLCommand::mReadByte(unsigned char byte, unsigned char labelTerminator, bool& consumed)
{
    consumed = true;
    switch (mintKind) {
    case ParameterKind::DeviceControl:
        // The instruction byte, then numeric parameters up to ":". Plotter on
        // and off, "(", ")", "Y" and "Z", take none; any letter or escape
        // starts the next command, so a device-control instruction without its
        // ":" never swallows the plot.
        if (mintStage == ReadStage::Start) {
            AppendBounded(mstrParameters, byte);
            mintStage = ReadStage::Inside;
            return byte == '(' || byte == ')' || byte == 'Y' || byte == 'Z';
        }
        return mReadUntil(byte, ':', consumed);

    case ParameterKind::Comment:
        // A quoted text; a ";" right after its closing quote belongs to it.
        if (mintStage == ReadStage::Quoted) {
            AppendBounded(mstrParameters, byte);
            if (byte == QUOTE)
                mintStage = ReadStage::AfterQuote;
            return false;
        }
        if (mintStage == ReadStage::AfterQuote || byte == ';' || byte == ESCAPE || IsLetter(byte)) {
            // A CO without its text ends at the next command too.
            consumed = byte == ';';
            if (consumed)
                AppendBounded(mstrParameters, byte);
            return true;
        }
        AppendBounded(mstrParameters, byte);
        if (byte == QUOTE)
            mintStage = ReadStage::Quoted;
        return false;

    case ParameterKind::Label:
        // The terminator ends the label and belongs to it, so the byte that
        // follows starts the next command.
        if (byte == labelTerminator)
            return true;
        AppendBounded(mstrParameters, byte);
        return false;

    case ParameterKind::UpToSemicolon:
        if (byte == ';' || byte == ESCAPE) {
            consumed = false;
            return true;
        }
        AppendBounded(mstrParameters, byte);
        return false;

    case ParameterKind::UpToNextCommand:
        if (mintStage == ReadStage::Start) {
            // A lower-case letter right after the mnemonic starts the next one.
            if (byte >= 'a' && byte <= 'z') {
                consumed = false;
                return true;
            }
            mintStage = ReadStage::Inside;
        }
        if (mintStage == ReadStage::Quoted) {
            // Quoted texts (the BP title) may hold letters and ";".
            AppendBounded(mstrParameters, byte);
            if (byte == QUOTE)
                mintStage = ReadStage::Inside;
            return false;
        }
        if (byte == QUOTE) {
            AppendBounded(mstrParameters, byte);
            mintStage = ReadStage::Quoted;
            return false;
        }
        return mReadUntil(byte, ';', consumed);
    }
    return true;
}

// Takes a byte of parameters that end with a terminator of their own
// (included) or where the next command, a letter or an escape, starts.
bool HPGLCommand::mReadUntil(unsigned char byte, unsigned char terminator, bool& consumed)
{
    if (byte == ESCAPE || IsLetter(byte)) {
        consumed = false;
        return true;
    }
    AppendBounded(mstrParameters, byte);
    return byte == terminator;
}

// Runs the command's strategies in order.
void HPGLCommand::ExecuteStrategy(HPGLParser& parser)
{
    mvecStrategies.clear();
    mDetermineStrategies(parser.DrawsOnPcl5Page());
    for (const auto& strategy : mvecStrategies)
        strategy->Execute(&parser);
}

// Splits the trimmed parameters at commas, keeping quoted texts whole.
std::vector<std::string_view> HPGLCommand::mParameterFields() const
{
    std::vector<std::string_view> fields;
    const std::string_view text = TrimText(mstrParameters, mstrCOMMAND_WHITESPACES);
    if (text.empty())
        return fields;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == QUOTE)
            quoted = !quoted;
        else if (text[i] == ',' && !quoted) {
            fields.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    fields.push_back(text.substr(start));
    return fields;
}

// Whether the mnemonic is one of the commands that draw.
bool HPGLCommand::Draws() const
{
    static constexpr std::array<std::string_view, 18> DRAWING = {"AA", "AR", "AT", "BR", "BZ", "CI", "EA", "EP", "ER",
                                                                 "EW", "FP", "LB", "PD", "PE", "RA", "RR", "RT", "WG"};
    const std::string_view mnemonic(mbytMnemonic, 2);
    return std::find(DRAWING.begin(), DRAWING.end(), mnemonic) != DRAWING.end();
}

// The strategies of the commands that count: BP, DF, IN, PG, PS, RP, RO and DT.
void HPGLCommand::mDetermineStrategies(bool onPcl5Page)
{
    // Only the commands below that read numbers split their parameters: the
    // plot coordinates of every other command never are.
    if (mIs('B', 'P')) {
        // (kind, value) pairs; kind 2 is the number of copies.
        const std::vector<std::string_view> fields = mParameterFields();
        for (size_t i = 0; i + 1 < fields.size(); i += 2) {
            if (ReadSigned(fields[i]) != 2)
                continue;
            const std::optional<int64_t> copies = ReadSigned(fields[i + 1]);
            if (copies && *copies > 0)
                mvecStrategies.push_back(std::make_unique<SetJobPropertyStrategy<unsigned long>>(
                    PROPERTY_COPIES, static_cast<unsigned long>(*copies)));
            break;
        }
    } else if (mIs('D', 'F') || mIs('I', 'N')) {
        mvecStrategies.push_back(std::make_unique<ResetParserStrategy>());
    } else if (mIs('P', 'G') && !onPcl5Page) {
        mvecStrategies.push_back(std::make_unique<NextPageStrategy>());
    } else if (mIs('P', 'S')) {
        // PS length, width; sizes that are not positive mean nothing.
        const std::vector<std::string_view> fields = mParameterFields();
        if (fields.size() == 2) {
            const std::optional<int64_t> length = ReadSigned(fields[0]);
            const std::optional<int64_t> width = ReadSigned(fields[1]);
            if (length && width && *length > 0 && *width > 0)
                mvecStrategies.push_back(std::make_unique<SetPlotSizeStrategy>(static_cast<uint64_t>(*width),
                                                                              static_cast<uint64_t>(*length)));
        }
    } else if (mIs('R', 'P') && !onPcl5Page) {
        // Replots: one more copy when no number is given.
        const std::vector<std::string_view> fields = mParameterFields();
        const std::optional<int64_t> replots = fields.empty() ? std::optional<int64_t>(1) : ReadSigned(fields[0]);
        if (replots && *replots > 0)
            mvecStrategies.push_back(std::make_unique<AdditionalCopiesStrategy>(static_cast<unsigned long>(*replots)));
    } else if (mIs('R', 'O')) {
        const std::vector<std::string_view> fields = mParameterFields();
        const std::optional<int64_t> angle = fields.empty() ? std::nullopt : ReadSigned(fields[0]);
        const RawPaperOrientation orientation =
            angle == 90 || angle == 270 ? ORIENTATION_LANDSCAPE : ORIENTATION_PORTRAIT;
        mvecStrategies.push_back(
            std::make_unique<SetJobPropertyStrategy<RawPaperOrientation>>(PROPERTY_DEFAULT_ORIENTATION, orientation));
    } else if (mIs('D', 'T')) {
        // The byte right after DT; "DT;" restores the default.
        const unsigned char terminator = mstrParameters.empty() || mstrParameters[0] == ';'
                                             ? HPGLParser::mbytDEFAULT_LABEL_TERMINATOR
                                             : static_cast<unsigned char>(mstrParameters[0]);
        mvecStrategies.push_back(std::make_unique<SetLabelTerminatorStrategy>(terminator));
    }
}

}  // namespace RawPrintData::HPGL
