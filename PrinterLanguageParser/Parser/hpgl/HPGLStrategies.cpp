#include "PrinterLanguageParser/Parser/hpgl/HPGLStrategies.h"

#include "PrinterLanguageParser/Parser/hpgl/HPGLParser.h"

namespace RawPrintData {
template class LanguageStrategy<HPGL::HPGLParser>;
}  // namespace RawPrintData

namespace RawPrintData::HPGL {

// Reports the plot size as the page size.
void SetPlotSizeStrategy::Execute(HPGLParser& parser) const
{
    parser.SetPaperSize(mintConvertPlotterUnitsToTenthsMM(mintWidth), mintConvertPlotterUnitsToTenthsMM(mintLength));
}

// Changes the label terminator.
void SetLabelTerminatorStrategy::Execute(HPGLParser& parser) const
{
    parser.SetLabelTerminator(mbytTerminator);
}

}  // namespace RawPrintData::HPGL
