#include "PrinterLanguageParser/Parser/pcl6/PCL6Strategies.h"

#include "PrinterLanguageParser/Parser/pcl6/PCL6Parser.h"

namespace RawPrintData {
template class LanguageStrategy<PCL6::PCL6Parser>;
}  // namespace RawPrintData

namespace RawPrintData::PCL6 {

// Sets the page's colour flag.
void SetCurrentPageColorStrategy::Execute(PCL6Parser& parser) const
{
    parser.SetCurrentPageColor(mblnColor);
}

// Sets the page's size.
void SetCurrentPaperSizeStrategy::Execute(PCL6Parser& parser) const
{
    parser.SetCurrentPaperSize(mintWidth, mintHeight, mstrName);
}

// Makes the colour space current.
void SetColorSpaceStrategy::Execute(PCL6Parser& parser) const
{
    parser.SetColorSpace(mintColorSpace);
}

// Makes grey the current colour space.
void ResetColorSpaceStrategy::Execute(PCL6Parser& parser) const
{
    parser.ResetColorSpace();
}

}  // namespace RawPrintData::PCL6
