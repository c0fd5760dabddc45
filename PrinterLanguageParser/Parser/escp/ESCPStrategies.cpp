#include "PrinterLanguageParser/Parser/escp/ESCPStrategies.h"

#include "PrinterLanguageParser/Parser/escp/ESCPParser.h"

namespace RawPrintData {
template class LanguageStrategy<ESCP::ESCPParser>;
}  // namespace RawPrintData

namespace RawPrintData::ESCP {

// Gives the page its colour.
void SetPageColorStrategy::Execute(ESCPParser& parser) const
{
    parser.SetColor(mintColor);
}

// Starts skipping the raster data.
void SkipBytesStrategy::Execute(ESCPParser& parser) const
{
    parser.AdvanceBytePosition(mintCount);
}

// Starts walking the encoded raster data.
void SkipRunLengthDataStrategy::Execute(ESCPParser& parser) const
{
    parser.SkipRunLengthData(mintDecodedLength);
}

// Starts skipping remote-mode commands.
void SkipRemoteModeStrategy::Execute(ESCPParser& parser) const
{
    parser.SkipRemoteMode();
}

// Starts skipping compressed raster commands.
void SkipBinaryRasterStrategy::Execute(ESCPParser& parser) const
{
    parser.SkipBinaryRaster();
}

// Sets the unit of the paper commands.
void SetPageUnitStrategy::Execute(ESCPParser& parser) const
{
    parser.SetPageUnit(mdblInchesPerUnit);
}

// Sizes the page.
void SetPaperDimensionsStrategy::Execute(ESCPParser& parser) const
{
    parser.SetPaperDimensions(mintWidth, mintLength);
}

}  // namespace RawPrintData::ESCP
