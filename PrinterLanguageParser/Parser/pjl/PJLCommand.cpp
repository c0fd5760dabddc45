#include "PrinterLanguageParser/Parser/pjl/PJLCommand.h"

#include "PrinterLanguageParser/Parser/CommandText.h"

#include <algorithm>

namespace RawPrintData::PJL {

// Splits the line: the command is the first atom after "@PJL"; what follows
// depends on the command.
PJLCommand::PJLCommand(std::string_view line)
{
    // Lines end in CR LF as often as in LF alone.
    while (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    mblnIsPJL = line.starts_with(mstrPJL_PREFIX);
    if (!mblnIsPJL)
        return;
    const size_t commandEnd = mintCaptureAtom(line, mstrPJL_PREFIX.size(), mstrCommandName);
    if (commandEnd >= line.size())
        return;
    const std::string_view rest = line.substr(commandEnd);

    if (CommandNameIs("COMMENT"))
        mstrText = rest.substr(1);  // after the one character that follows the command
    else if (CommandNameIs("XCPT"))
        mGetXmlOptionNameAndValue(rest);
    else if (!CommandNameIs("ECHO"))
        mGetOptionNameAndValue(rest);
}

// Skips delimiters, then takes characters up to the next delimiter.
size_t PJLCommand::mintCaptureAtom(std::string_view line, size_t from, std::string& atom) const
{
    const size_t start = line.find_first_not_of(mstrATOM_DELIMITERS, from);
    if (start == std::string_view::npos) {
        atom.clear();
        return line.size();
    }
    const size_t end = std::min(line.find_first_of(mstrATOM_DELIMITERS, start), line.size());
    atom.assign(line.substr(start, end - start));
    return end;
}

// The name before the first "=" and the value after it, both trimmed.
void PJLCommand::mGetOptionNameAndValue(std::string_view rest)
{
    const size_t equals = rest.find('=');
    if (equals == std::string_view::npos)
        return;
    mstrOptionName.assign(mTrimString(rest.substr(0, equals)));
    mstrOptionValue.assign(mTrimString(rest.substr(equals + 1)));
}

// The element name after the first "<" (up to a blank or ">"), and the text
// between the next ">" and the following "</".
void PJLCommand::mGetXmlOptionNameAndValue(std::string_view rest)
{
    const size_t open = rest.find('<');
    if (open == std::string_view::npos)
        return;
    const size_t nameEnd = rest.find_first_of(" >", open + 1);
    mstrOptionName.assign(rest.substr(open + 1, nameEnd == std::string_view::npos ? nameEnd : nameEnd - open - 1));
    const size_t valueStart = rest.find('>', open + 1);
    if (valueStart == std::string_view::npos)
        return;
    const size_t valueEnd = rest.find("</", valueStart + 1);
    if (valueEnd != std::string_view::npos)
        mstrOptionValue.assign(rest.substr(valueStart + 1, valueEnd - valueStart - 1));
}

// Trims blanks, tabs and carriage returns.
std::string_view PJLCommand::mTrimString(std::string_view text)
{
    return TrimText(text, mstrATOM_DELIMITERS);
}

bool PJLCommand::CommandNameIs(std::string_view name) const
{
    return EqualsIgnoringCase(mstrCommandName, name);
}

bool PJLCommand::OptionNameIs(std::string_view name) const
{
    return EqualsIgnoringCase(mstrOptionName, name);
}

bool PJLCommand::OptionValueIs(std::string_view value) const
{
    return EqualsIgnoringCase(mstrOptionValue, value);
}

// Reads the value as a checked decimal number.
uint64_t PJLCommand::OptionValueAsUnsigned() const
{
    return ReadUnsigned(mstrOptionValue).value_or(0);
}

}  // namespace RawPrintData::PJL
