#include "PrinterLanguageParser/Parser/cgm/CGMParser.h"

#include "PrinterLanguageParser/Parser/CommandText.h"
#include "PrinterLanguageParser/Parser/cgm/ApplicationDataEntry.h"

namespace RawPrintData::CGM {

namespace {

constexpr std::string_view APPLICATION_DATA{"APPLDATA "};
constexpr std::string_view METAFILE_DESCRIPTION{"MFDESC "};
constexpr std::string_view END_METAFILE{"ENDMF"};

}  // namespace

// Splits the data into commands ended by "/" or ";" outside strings and
// %...% comments, and handles each.
ParseDataResultType CGMParser::ParseData(const DataBuffer& buffer)
{
    mintBytesProcessed = 0;
    const uint64_t total = buffer.Length();
    for (uint64_t position = 0; position < total; ++position) {
        const unsigned char byte = buffer[position];
        if (mbytOpenQuote != 0) {
            AppendBounded(mstrCurrentCommand, byte);
            if (byte == mbytOpenQuote)
                mbytOpenQuote = 0;
        } else if (mblnInComment) {
            mblnInComment = byte != '%';
        } else if (byte == '"' || byte == '\'') {
            mbytOpenQuote = byte;
            AppendBounded(mstrCurrentCommand, byte);
        } else if (byte == '%') {
            mblnInComment = true;
        } else if (byte == '/' || byte == ';') {
            mintBytesProcessed = position + 1;
            if (mintHandleCurrentCommand() == PARSE_RESULT_SWITCH_LANGUAGE)
                return PARSE_RESULT_SWITCH_LANGUAGE;
        } else {
            AppendBounded(mstrCurrentCommand, byte);
        }
    }
    mintBytesProcessed = total;
    return mstrCurrentCommand.empty() ? PARSE_RESULT_HANDLED : PARSE_RESULT_NEED_MORE_DATA;
}

// Acts on APPLDATA, MFDESC and ENDMF; the command text is emptied in every case.
ParseDataResultType CGMParser::mintHandleCurrentCommand()
{
    const std::string command = std::move(mstrCurrentCommand);
    mstrCurrentCommand.clear();
    const size_t start = command.find_first_not_of(mstrCOMMAND_WHITESPACES);
    if (start == std::string::npos)
        return PARSE_RESULT_HANDLED;
    const std::string_view text = std::string_view(command).substr(start);

    if (text.starts_with(APPLICATION_DATA)) {
        if (mInterpreter)
            mInterpreter->InterpretApplicationData(*this, ApplicationDataEntry(text.substr(APPLICATION_DATA.size())));
    } else if (text.starts_with(METAFILE_DESCRIPTION)) {
        mInterpreter = ApplicationDataInterpreter::CreateInterpreter(text.substr(METAFILE_DESCRIPTION.size()));
    } else if (text.starts_with(END_METAFILE)) {
        NotifyNextLanguage(LANGUAGE_UNKNOWN);
        return PARSE_RESULT_SWITCH_LANGUAGE;
    }
    return PARSE_RESULT_HANDLED;
}

}  // namespace RawPrintData::CGM
