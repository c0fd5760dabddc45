#pragma once

#include "PrinterLanguageParser/Parser/WholeJobParser.h"

namespace RawPrintData::Pdf {

// PDF and PCLm, read with qpdf from the job's kept bytes once the job is
// complete: each page's paper from its MediaBox (the CropBox where smaller),
// and whether it paints in colour. qpdf holds the page tree and one content
// stream at a time.
class PdfParser final : public WholeJobParser {
public:
    PdfParser();

protected:
    ParseDataResultType ReadJob(const IJobBytes& job) override;
};

}  // namespace RawPrintData::Pdf
