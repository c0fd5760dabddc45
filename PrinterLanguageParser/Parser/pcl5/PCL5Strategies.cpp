#include "PrinterLanguageParser/Parser/pcl5/PCL5Strategies.h"

#include "PrinterLanguageParser/Parser/pcl5/PCL5Parser.h"

namespace RawPrintData {
template class LanguageStrategy<PCL5::PCL5Parser>;
}  // namespace RawPrintData

namespace RawPrintData::PCL5 {

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

// Marks the current page.
void MarkPageStrategy::Execute(PCL5Parser& parser) const
{
    parser.MarkPage();
}

// Passes the raster setting or row to the parser.
void RasterStrategy::Execute(PCL5Parser& parser) const
{
    parser.OnRaster(mKind, mintValue);
}

// Ejects the current page.
void EjectPageStrategy::Execute(PCL5Parser& parser) const
{
    parser.EjectPage();
}

}  // namespace RawPrintData::PCL5
