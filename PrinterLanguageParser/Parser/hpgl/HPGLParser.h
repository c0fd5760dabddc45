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
//
// Entered from PCL 5 (ESC % # B), HP-GL/2 draws on PCL 5's page: PG and RP do
// nothing there, and what is drawn goes back to PCL 5 with the page, whose
// form feed or eject prints it. Should the job end (or leave for PJL) before
// PCL 5 is back, a page with something drawn on it is printed from here.
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

    // Whether the plot is drawn on a PCL 5 page (HP-GL/2 entered from PCL 5).
    bool DrawsOnPcl5Page() const { return mblnOnPcl5Page; }
    PageInProgress LeaveLanguage() override;
    void EnterLanguage(RawLanguageType previous, const PageInProgress& page) override;

private:
    // Reads the rest of the pending command; false when the data ended first.
    bool mContinueCommand(const DataBuffer& buffer, uint64_t& position);
    // Logs and runs the pending command, then drops it.
    void mRunCommand();
    // The job ends on the PCL 5 page: the printer prints it when it has marks.
    void mPrintPcl5Page();

    unsigned char mbytLabelTerminator = mbytDEFAULT_LABEL_TERMINATOR;
    CRawPage mCurrentPage;
    // The command whose parameters are being read, kept across chunks.
    std::optional<HPGLCommand> mPendingCommand;
    bool mblnOnPcl5Page = false;
    // A plot of its own left for PCL 5 (RTL raster, ESC % 0 A): back from
    // there (ESC % 0 B) it is still its own plot, paged by PG.
    bool mblnLeftForRaster = false;
    // PCL 5's page while the plot draws on it.
    PageInProgress mPcl5Page;
};

}  // namespace RawPrintData::HPGL
