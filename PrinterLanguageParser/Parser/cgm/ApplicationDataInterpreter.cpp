#include "PrinterLanguageParser/Parser/cgm/ApplicationDataInterpreter.h"

#include "PrinterLanguageParser/Parser/cgm/OceRCFApplicationDataInterpreter.h"

#include <algorithm>
#include <string>

namespace RawPrintData::CGM {

// Ignores the entry.
void ApplicationDataInterpreter::InterpretApplicationData(IRawDataParser&, const ApplicationDataEntry&) {}

// The Oce RCF interpreter when the description names that format, else the default.
std::unique_ptr<ApplicationDataInterpreter> ApplicationDataInterpreter::CreateInterpreter(std::string_view description)
{
    std::string lower(description);
    std::ranges::transform(lower, lower.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    if (lower.find("oce graphics configuration format") != std::string::npos || lower.find("oce rcf") != std::string::npos)
        return std::make_unique<OceRCFApplicationDataInterpreter>();
    return CreateDefaultInterpreter();
}

// A base-class interpreter.
std::unique_ptr<ApplicationDataInterpreter> ApplicationDataInterpreter::CreateDefaultInterpreter()
{
    return std::make_unique<ApplicationDataInterpreter>();
}

}  // namespace RawPrintData::CGM
