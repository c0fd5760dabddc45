#include "PrinterLanguageParser/Parser/prescribe/PrescribeParser.h"

#include "PrinterLanguageParser/Parser/CommandText.h"

namespace RawPrintData::Prescribe {

namespace {

constexpr std::string_view EXIT_COMMAND{"EXIT"};

bool IsWhitespace(unsigned char byte)
{
    return TEXT_WHITESPACE.find(static_cast<char>(byte)) != std::string_view::npos;
}

}  // namespace

// Collects commands up to each ";". White space before a command is passed
// over, so commands on lines of their own ("!R! RES;\nEXIT;") are read alike.
ParseDataResultType PrescribeParser::ParseData(const DataBuffer& buffer)
{
    mintBytesProcessed = 0;
    const uint64_t total = buffer.Length();
    uint64_t position = 0;
    while (position < total) {
        const unsigned char byte = buffer[position];
        if (mstrCurrentCommand.empty()) {
            if (IsWhitespace(byte)) {
                ++position;
                continue;
            }
            bool cut = false;
            if (mblnIsPrescribeStart(buffer, position, cut)) {
                position += 3;
                continue;
            }
            if (cut) {
                // "!" or "!R" at the end of the data: wait for the rest.
                mintBytesProcessed = position;
                return PARSE_RESULT_NEED_MORE_DATA;
            }
        }
        if (byte == 0x1B) {
            // A block left without EXIT ends at the universal exit language,
            // which the language before it reads.
            const TextMatch exit = MatchAt(buffer, position, mstrUNIVERSAL_EXIT_LANGUAGE);
            if (exit == TextMatch::Prefix) {
                mintBytesProcessed = position;
                return PARSE_RESULT_NEED_MORE_DATA;
            }
            if (exit == TextMatch::Full) {
                mstrCurrentCommand.clear();
                mintBytesProcessed = position;
                NotifyNextLanguage(LANGUAGE_UNKNOWN);
                return PARSE_RESULT_SWITCH_LANGUAGE;
            }
        }
        ++position;
        if (byte != ';') {
            AppendBounded(mstrCurrentCommand, byte);
            continue;
        }
        mintBytesProcessed = position;
        if (mintHandleCurrentCommand() == PARSE_RESULT_SWITCH_LANGUAGE)
            return PARSE_RESULT_SWITCH_LANGUAGE;
    }
    mintBytesProcessed = total;
    return mstrCurrentCommand.empty() ? PARSE_RESULT_HANDLED : PARSE_RESULT_NEED_MORE_DATA;
}

// Compares the first three bytes of the command start.
bool PrescribeParser::mblnIsPrescribeStart(const DataBuffer& buffer, uint64_t position, bool& cut)
{
    const TextMatch match = MatchAt(buffer, position, mbytPRESCRIBE_START.substr(0, 3));
    cut = match == TextMatch::Prefix;
    return match == TextMatch::Full;
}

// EXIT (exact, trimmed of white space) returns to the previous language;
// every other command is passed over.
ParseDataResultType PrescribeParser::mintHandleCurrentCommand()
{
    const bool exit = TrimText(mstrCurrentCommand) == EXIT_COMMAND;
    mstrCurrentCommand.clear();
    if (!exit)
        return PARSE_RESULT_HANDLED;
    NotifyNextLanguage(LANGUAGE_UNKNOWN);
    return PARSE_RESULT_SWITCH_LANGUAGE;
}

}  // namespace RawPrintData::Prescribe
