#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/IRawDataParserStrategy.h"
#include "PrinterLanguageParser/Parser/RawJobTypes.h"
#include "PrinterLanguageParser/Parser/RawLanguageType.h"

namespace RawPrintData {

// The strategies every language shares. Each does nothing with a null parser.

// Announces a language switch.
class SwitchLanguageStrategy final : public IRawDataParserStrategy {
public:
    explicit SwitchLanguageStrategy(RawLanguageType language) : mintLanguage(language) {}
    void Execute(IRawDataParser* parser) const override;

private:
    RawLanguageType mintLanguage;
};

// Runs the parser's printer-reset step.
class ResetParserStrategy final : public IRawDataParserStrategy {
public:
    void Execute(IRawDataParser* parser) const override;
};

// Ends the current page.
class NextPageStrategy final : public IRawDataParserStrategy {
public:
    void Execute(IRawDataParser* parser) const override;
};

// Adds copies on top of the job's count.
class AdditionalCopiesStrategy final : public IRawDataParserStrategy {
public:
    explicit AdditionalCopiesStrategy(unsigned long copies) : mintCopies(copies) {}
    void Execute(IRawDataParser* parser) const override;

private:
    unsigned long mintCopies;
};

// Reports one job property with a fixed value; T is the property's value type
// (bool, int, unsigned long, RawColorType or RawPaperOrientation).
template <typename T>
class SetJobPropertyStrategy final : public IRawDataParserStrategy {
public:
    SetJobPropertyStrategy(RawDataJobProperty property, T value) : mintProperty(property), mValue(value) {}

    void Execute(IRawDataParser* parser) const override
    {
        if (parser != nullptr)
            parser->NotifyJobPropertyChanged(mintProperty, &mValue);
    }

private:
    RawDataJobProperty mintProperty;
    T mValue;
};

extern template class SetJobPropertyStrategy<bool>;
extern template class SetJobPropertyStrategy<int>;
extern template class SetJobPropertyStrategy<unsigned long>;
extern template class SetJobPropertyStrategy<RawColorType>;
extern template class SetJobPropertyStrategy<RawPaperOrientation>;

}  // namespace RawPrintData
