#pragma once

#include "PrinterLanguageParser/Parser/cgm/ApplicationDataInterpreter.h"
#include "PrinterLanguageParser/Parser/cgm/OceRCFPaperType.h"

namespace RawPrintData::CGM {

// Reads the Oce RCF configuration slots: copies and duplex (slot 2), colour
// mode (slot 15) and paper type (slot 21).
class OceRCFApplicationDataInterpreter final : public ApplicationDataInterpreter {
public:
    void InterpretApplicationData(IRawDataParser& parser, const ApplicationDataEntry& entry) override;

private:
    // Reports the paper's name, width and height as the job's defaults.
    void mSetDefaultPaperType(IRawDataParser& parser, uint32_t paperType);
};

}  // namespace RawPrintData::CGM
