#include "PrinterLanguageParser/Parser/pcl5/PCL5Strategies.h"

#include "PrinterLanguageParser/Parser/pcl5/PCL5Parser.h"

namespace RawPrintData::PCL5 {

// Runs the PCL 5 action when the parser is the PCL 5 parser.
void IParserStrategy::Execute(IRawDataParser* parser) const
{
    if (auto* pcl5 = dynamic_cast<PCL5Parser*>(parser))
        Execute(*pcl5);
}

// Sets the current page's paper.
void SetPaperSizeStrategy::Execute(PCL5Parser& parser) const
{
    parser.SetPaperSize(mintPaperSize);
}

// Starts skipping the announced data.
void SkipBytesStrategy::Execute(PCL5Parser& parser) const
{
    parser.AdvanceBytePosition(mintCount);
}

}  // namespace RawPrintData::PCL5
