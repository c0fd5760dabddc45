#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParserStrategy.h"

#include <cstdint>

namespace RawPrintData::PCL6 {

class PCL6Parser;

// Base of the strategies that act on the PCL XL parser itself: the frame's
// Execute finds the PCL XL parser and calls the PCL XL one.
class IParserStrategy : public IRawDataParserStrategy {
public:
    void Execute(IRawDataParser* parser) const override;
    virtual void Execute(PCL6Parser& parser) const = 0;
};

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
    SetCurrentPaperSizeStrategy(int64_t width, int64_t height) : mintWidth(width), mintHeight(height) {}
    using IParserStrategy::Execute;
    void Execute(PCL6Parser& parser) const override;

private:
    int64_t mintWidth;
    int64_t mintHeight;
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
