#include "PrinterLanguageParser/Parser/ParserStrategies.h"

namespace RawPrintData {

template class SetJobPropertyStrategy<bool>;
template class SetJobPropertyStrategy<int>;
template class SetJobPropertyStrategy<unsigned long>;
template class SetJobPropertyStrategy<RawColorType>;
template class SetJobPropertyStrategy<RawPaperOrientation>;

// Announces the language.
void SwitchLanguageStrategy::Execute(IRawDataParser* parser) const
{
    if (parser != nullptr)
        parser->NotifyNextLanguage(mintLanguage);
}

// Resets the parser's printer state.
void ResetParserStrategy::Execute(IRawDataParser* parser) const
{
    if (parser != nullptr)
        parser->Reset();
}

// Finishes the current page.
void NextPageStrategy::Execute(IRawDataParser* parser) const
{
    if (parser != nullptr)
        parser->NotifyDefaultPageCompleted();
}

// Adds the copies.
void AdditionalCopiesStrategy::Execute(IRawDataParser* parser) const
{
    if (parser != nullptr)
        parser->AddCopies(mintCopies);
}

}  // namespace RawPrintData
