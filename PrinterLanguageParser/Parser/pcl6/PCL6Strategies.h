#pragma once

#include "PrinterLanguageParser/Parser/LanguageStrategy.h"

#include <cstdint>
#include <string_view>

namespace RawPrintData {
namespace PCL6 {
class PCL6Parser;
}
// Instantiated in PCL6Strategies.cpp, where the parser class is known.
extern template class LanguageStrategy<PCL6::PCL6Parser>;
}  // namespace RawPrintData

namespace RawPrintData::PCL6 {

// Base of the strategies that act on the PCL6Parser itself.
using IParserStrategy = LanguageStrategy<PCL6Parser>;

// Sets the current page's colour flag.
class SetCurrentPageColorStrategy final : public IParserStrategy {
public:
    explicit SetCurrentPageColorStrategy(bool color) : mblnColor(color) {}
    using IParserStrategy::Execute;
    void Execute(PCL6Parser& parser) const override;

private:
    bool mblnColor;
};

// Sets the current page's size in tenths of a millimetre.
class SetCurrentPaperSizeStrategy final : public IParserStrategy {
public:
    SetCurrentPaperSizeStrategy(int64_t width, int64_t height, std::string_view name)
        : mintWidth(width), mintHeight(height), mstrName(name)
    {
    }
    using IParserStrategy::Execute;
    void Execute(PCL6Parser& parser) const override;

private:
    int64_t mintWidth;
    int64_t mintHeight;
    std::string_view mstrName;  // a name of the static paper tables
};

// Makes a colour space current (SetColorSpace): RGB marks the page colour and
// reports a colour job, any other space a mono one.
class SetColorSpaceStrategy final : public IParserStrategy {
public:
    explicit SetColorSpaceStrategy(uint32_t colorSpace) : mintColorSpace(colorSpace) {}
    using IParserStrategy::Execute;
    void Execute(PCL6Parser& parser) const override;

private:
    uint32_t mintColorSpace;
};

// Starts a page in the grey colour space a printer starts every page with.
class ResetColorSpaceStrategy final : public IParserStrategy {
public:
    using IParserStrategy::Execute;
    void Execute(PCL6Parser& parser) const override;
};

}  // namespace RawPrintData::PCL6
