#pragma once

#include "PrinterLanguageParser/Parser/cgm/ApplicationDataEntry.h"

#include <memory>
#include <string_view>

namespace RawPrintData {
class IRawDataParser;
}

namespace RawPrintData::CGM {

// Turns a metafile's application data into job properties. The base class
// ignores all of it; the metafile description chooses the interpreter.
class ApplicationDataInterpreter {
public:
    virtual ~ApplicationDataInterpreter() = default;

    virtual void InterpretApplicationData(IRawDataParser& parser, const ApplicationDataEntry& entry);

    // The interpreter for a metafile description (MFDESC text).
    static std::unique_ptr<ApplicationDataInterpreter> CreateInterpreter(std::string_view description);
    // The interpreter that ignores application data.
    static std::unique_ptr<ApplicationDataInterpreter> CreateDefaultInterpreter();
};

}  // namespace RawPrintData::CGM
