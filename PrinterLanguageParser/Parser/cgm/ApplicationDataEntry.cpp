#include "PrinterLanguageParser/Parser/cgm/ApplicationDataEntry.h"

#include "PrinterLanguageParser/Parser/CommandText.h"

#include <algorithm>
#include <limits>

namespace RawPrintData::CGM {

namespace {

// A number of the entry as unsigned 32-bit, cut at its maximum; 0 when the
// text is no number.
uint32_t ReadEntryNumber(std::string_view text)
{
    return static_cast<uint32_t>(std::min<uint64_t>(ReadUnsigned(text).value_or(0), std::numeric_limits<uint32_t>::max()));
}

}  // namespace

// Reads the slot number before the first blank and the quoted parameters after it.
ApplicationDataEntry::ApplicationDataEntry(std::string_view text)
{
    const size_t blank = text.find(' ');
    mintSlotNumber = ReadEntryNumber(text.substr(0, blank));
    if (blank == std::string_view::npos)
        return;
    // The parameters are quoted: drop the character after the blank and the
    // last one. An entry too short to hold both quotes has no parameters.
    const std::string_view quoted = TrimText(text.substr(blank + 1));
    if (quoted.size() >= 2)
        mReadParameters(quoted.substr(1, quoted.size() - 2));
}

// Adds every name=value field; fields are separated by runs of blanks and
// commas, and the first value of a name is kept.
void ApplicationDataEntry::mReadParameters(std::string_view text)
{
    constexpr std::string_view SEPARATORS{" ,"};
    size_t start = text.find_first_not_of(SEPARATORS);
    while (start != std::string_view::npos) {
        const size_t end = text.find_first_of(SEPARATORS, start);
        const std::string_view field = text.substr(start, end == std::string_view::npos ? end : end - start);
        const size_t equals = field.find('=');
        if (equals != std::string_view::npos)
            mvecParameters.emplace(std::string(field.substr(0, equals)), ReadEntryNumber(field.substr(equals + 1)));
        start = end == std::string_view::npos ? end : text.find_first_not_of(SEPARATORS, end);
    }
}

// Looks a parameter up.
uint32_t ApplicationDataEntry::GetParamValue(const std::string& name, uint32_t defaultValue) const
{
    const auto found = mvecParameters.find(name);
    return found == mvecParameters.end() ? defaultValue : found->second;
}

}  // namespace RawPrintData::CGM
