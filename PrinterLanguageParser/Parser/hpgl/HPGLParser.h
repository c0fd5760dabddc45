#pragma once

#include "PrinterLanguageParser/Parser/CRawPage.h"
#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/hpgl/HPGLCommand.h"

#include <cstdint>
#include <optional>

namespace RawPrintData::HPGL {

// Reads HP-GL/2 vector data: a page ends at every PG; copies come from BP and
// RP, the plot size from PS and the orientation from RO. Leaves for PCL 5 at
// ESC % # A, for PJL at the universal exit language and for CalComp at "&&".
class HPGLParser final : public IRawDataParser {
public:
    // The byte that ends label text until DT changes it.
    static constexpr unsigned char mbytDEFAULT_LABEL_TERMINATOR = 3;

    ParseDataResultType ParseData(const DataBuffer& buffer) override;
    // Runs a command that the end of the job cut short; returns 0.
    ParseDataResultType ParseDone() override;
    // The printer-reset step (IN, DF): the label terminator goes back to ETX.
    void Reset() override { mbytLabelTerminator = mbytDEFAULT_LABEL_TERMINATOR; }
    // Reports the current page.
    void NotifyDefaultPageCompleted() override;

    unsigned char GetLabelTerminator() const { return mbytLabelTerminator; }
    void SetLabelTerminator(unsigned char terminator) { mbytLabelTerminator = terminator; }

    // Sets the page size (tenths of a millimetre) and reports it as the job's
    // default page width and height.
    void SetPaperSize(uint64_t width, uint64_t height);

private:
    // Reads the rest of the pending command; false when the data ended first.
    bool mContinueCommand(const DataBuffer& buffer, uint64_t& position);
    // Logs and runs the pending command, then drops it.
    void mRunCommand();

    unsigned char mbytLabelTerminator = mbytDEFAULT_LABEL_TERMINATOR;
    CRawPage mCurrentPage;
    // The command whose parameters are being read, kept across chunks.
    std::optional<HPGLCommand> mPendingCommand;
};

}  // namespace RawPrintData::HPGL
