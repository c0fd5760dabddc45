#include "PrinterLanguageParser/Parser/escp/ESCPStrategies.h"

#include "PrinterLanguageParser/Parser/escp/ESCPParser.h"

namespace RawPrintData {
template class LanguageStrategy<ESCP::ESCPParser>;
}  // namespace RawPrintData

namespace RawPrintData::ESCP {

// Starts skipping remote-mode commands.
void SkipRemoteModeStrategy::Execute(ESCPParser& parser) const
{
    parser.SkipRemoteMode();
}

// Sets the unit of the paper commands.
void SetPageUnitStrategy::Execute(ESCPParser& parser) const
{
    parser.SetPageUnit(mdblPage, mdblVertical, mdblHorizontal);
}

// Reads or skips a block of raster rows.
void RasterBlockStrategy::Execute(ESCPParser& parser) const
{
    parser.BeginRasterBlock(mBlock);
}

// Selects an ink.
void SelectInkStrategy::Execute(ESCPParser& parser) const
{
    parser.SelectInk(mintCode, mblnSelection);
}

// Moves the print position.
void PrintPositionStrategy::Execute(ESCPParser& parser) const
{
    parser.MovePrintPosition(mMotion, mdblAmount, mdblInchesPerAmount, mdblSecond);
}

// Sizes the page.
void SetPaperDimensionsStrategy::Execute(ESCPParser& parser) const
{
    parser.SetPaperDimensions(mintWidth, mintLength);
}

}  // namespace RawPrintData::ESCP
