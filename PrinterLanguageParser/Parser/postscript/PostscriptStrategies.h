#pragma once

#include "PrinterLanguageParser/Parser/postscript/IParserStrategy.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptColorSpace.h"

#include <cstddef>
#include <span>
#include <string_view>

namespace RawPrintData::Postscript::ParserStrategies {

// The strategy of a keyword no table knows: nothing.
class NullParserStrategy final : public IParserStrategy {
public:
    constexpr NullParserStrategy() = default;
    void Execute(IPostscriptParser*, const PostscriptTokenList&) const override {}
};

// Nothing, and the keyword is not recorded.
class IgnoreTokenStrategy final : public IParserStrategy {
public:
    constexpr IgnoreTokenStrategy() = default;
    void Execute(IPostscriptParser*, const PostscriptTokenList&) const override {}
    bool SuppressToken() const override { return true; }
};

// Marks the page colour when the current graphics state is colour.
class CheckCurrentColorspaceAndMarkCurrentPageAsColorStrategy final : public IParserStrategy {
public:
    constexpr CheckCurrentColorspaceAndMarkCurrentPageAsColorStrategy() = default;
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;
};

// "cvx": reads a string operand's contents as PostScript now.
class MakePreviousTokenExecuteableStrategy final : public IParserStrategy {
public:
    constexpr MakePreviousTokenExecuteableStrategy() = default;
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;
    bool SuppressToken() const override { return true; }
};

// Sets the current page's colour flag.
class MarkCurrentPageAsColorStrategy final : public IParserStrategy {
public:
    constexpr explicit MarkCurrentPageAsColorStrategy(bool color) : mblnColor(color) {}
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;

private:
    bool mblnColor;
};

// gsave.
class PushCurrentGraphicsStateStrategy final : public IParserStrategy {
public:
    constexpr PushCurrentGraphicsStateStrategy() = default;
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;
};

// grestore.
class PopCurrentGraphicsStateStrategy final : public IParserStrategy {
public:
    constexpr PopCurrentGraphicsStateStrategy() = default;
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;
};

// grestoreall, and restore, which also ends the save it returns to.
class PopToSavedGraphicsStateStrategy final : public IParserStrategy {
public:
    constexpr explicit PopToSavedGraphicsStateStrategy(bool endSave) : mblnEndSave(endSave) {}
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;

private:
    bool mblnEndSave;
};

// save.
class MarkSavedAndPushCurrentGraphicsStateStrategy final : public IParserStrategy {
public:
    constexpr MarkSavedAndPushCurrentGraphicsStateStrategy() = default;
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;
};

// A colour operator: sets the colour space (unless 0) and decides from the
// operands, after skipping some, whether the colour is grey.
class InspectColorAndSetCurrentGraphicsStateAppropriatelyStrategy final : public IParserStrategy {
public:
    constexpr InspectColorAndSetCurrentGraphicsStateAppropriatelyStrategy(PostscriptColorSpace colorSpace,
                                                                           size_t skip)
        : mintColorSpace(colorSpace), mintSkip(skip)
    {
    }
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;

private:
    PostscriptColorSpace mintColorSpace;
    size_t mintSkip;
};

// Sets the colour space, from the operands when it is 0; with
// beforeProcedure the operand is written before a procedure operand.
class SetColorSpaceStrategy final : public IParserStrategy {
public:
    constexpr explicit SetColorSpaceStrategy(PostscriptColorSpace colorSpace, bool beforeProcedure = false)
        : mintColorSpace(colorSpace), mblnBeforeProcedure(beforeProcedure)
    {
    }
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;

private:
    PostscriptColorSpace mintColorSpace;
    bool mblnBeforeProcedure;
};

// The dictionary form of an image operator paints in the current colour.
class CheckIfImageIsColorStrategy final : public IParserStrategy {
public:
    constexpr CheckIfImageIsColorStrategy() = default;
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;
};

// "ID" of a PDF inline image (BI, its dictionary, ID, its data, EI): the
// image's own colour space tells colour from grey, a mask paints in the
// current colour, and base-85 or hex data is read as one string.
class InspectInlineImageStrategy final : public IParserStrategy {
public:
    constexpr InspectInlineImageStrategy() = default;
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;
};

// Reports a finished page; with the reset flag the next page starts mono.
class MoveToNextPageStrategy final : public IParserStrategy {
public:
    constexpr explicit MoveToNextPageStrategy(bool resetColor) : mblnResetColor(resetColor) {}
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;

private:
    bool mblnResetColor;
};

// Stores an array operand under a name.
class StoreArrayInVariableStrategy final : public IParserStrategy {
public:
    constexpr explicit StoreArrayInVariableStrategy(std::string_view name) : mstrName(name) {}
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;

private:
    std::string_view mstrName;
};

// Runs a strategy over the tokens stored under a name.
class ExecuteStrategyWithVariableContentsStrategy final : public IParserStrategy {
public:
    constexpr ExecuteStrategyWithVariableContentsStrategy(std::string_view name, const IParserStrategy* strategy)
        : mstrName(name), mStrategy(strategy)
    {
    }
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;

private:
    std::string_view mstrName;
    const IParserStrategy* mStrategy;
};

// Reads the bytes after an image operator as one base-85 string.
class ForceTokenizerToBase85Strategy final : public IParserStrategy {
public:
    constexpr ForceTokenizerToBase85Strategy() = default;
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;
};

// Reads the bytes after an image operator as one hex string.
class ForceTokenizerToHexStrategy final : public IParserStrategy {
public:
    constexpr ForceTokenizerToHexStrategy() = default;
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;
};

// "setpagedevice": reads the page-device dictionary before it, written
// with "<< >>", "put" or "def".
class SetPageDeviceDictionaryStrategy final : public IParserStrategy {
public:
    constexpr SetPageDeviceDictionaryStrategy() = default;
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;

private:
    static void mReadDefinedDictionary(IPostscriptParser* parser, const PostscriptTokenList& tokens);
};

// A procedure of the job that asks setpagedevice for duplex: always, or only
// when its operand is true (pdftops's "true pdfSetup").
class ReportDuplexStrategy final : public IParserStrategy {
public:
    constexpr explicit ReportDuplexStrategy(bool operandDecides) : mblnOperandDecides(operandDecides) {}
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;

private:
    bool mblnOperandDecides;
};

// Runs its members in order.
class CompositeParserStrategy final : public IParserStrategy {
public:
    constexpr explicit CompositeParserStrategy(std::span<const IParserStrategy* const> strategies)
        : mvecStrategies(strategies)
    {
    }
    void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const override;

private:
    std::span<const IParserStrategy* const> mvecStrategies;
};

}  // namespace RawPrintData::Postscript::ParserStrategies
