#include "PrinterLanguageParser/Parser/hpgl/HPGLStrategies.h"

#include "PrinterLanguageParser/Parser/hpgl/HPGLParser.h"

namespace RawPrintData::HPGL {

// Runs the strategy on an HP-GL/2 parser; any other parser is left alone.
void IParserStrategy::Execute(IRawDataParser* parser) const
{
    if (auto* hpgl = dynamic_cast<HPGLParser*>(parser))
        mExecute(*hpgl);
}

// Reports the plot size as the page size.
void SetPlotSizeStrategy::mExecute(HPGLParser& parser) const
{
    parser.SetPaperSize(mintConvertPlotterUnitsToTenthsMM(mintWidth), mintConvertPlotterUnitsToTenthsMM(mintLength));
}

// Changes the label terminator.
void SetLabelTerminatorStrategy::mExecute(HPGLParser& parser) const
{
    parser.SetLabelTerminator(mbytTerminator);
}

}  // namespace RawPrintData::HPGL
