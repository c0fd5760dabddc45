// The strategies for the graphics-state stack, pages, variables, executed
// strings, image data and page-device dictionaries.
#include "PrinterLanguageParser/Parser/postscript/PostscriptStrategies.h"

#include "PrinterLanguageParser/Parser/postscript/IPostscriptParser.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptGraphicsState.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptPageSize.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptTokenList.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptTokenizer.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptVariables.h"

#include <cmath>
#include <limits>

namespace RawPrintData::Postscript {

// Runs on a PostScript parser.
void IParserStrategy::Execute(IRawDataParser* parser) const
{
    if (auto* postscript = dynamic_cast<IPostscriptParser*>(parser))
        Execute(postscript, postscript->RecentTokens());
}

namespace ParserStrategies {

// gsave.
void PushCurrentGraphicsStateStrategy::Execute(IPostscriptParser* parser, const PostscriptTokenList&) const
{
    parser->GraphicsStateStack().Push();
}

// grestore.
void PopCurrentGraphicsStateStrategy::Execute(IPostscriptParser* parser, const PostscriptTokenList&) const
{
    parser->GraphicsStateStack().Pop();
}

// grestoreall and restore.
void PopToSavedGraphicsStateStrategy::Execute(IPostscriptParser* parser, const PostscriptTokenList&) const
{
    parser->GraphicsStateStack().PopToSaved(mblnEndSave);
}

// save.
void MarkSavedAndPushCurrentGraphicsStateStrategy::Execute(IPostscriptParser* parser,
                                                           const PostscriptTokenList&) const
{
    parser->GraphicsStateStack().MarkSavedAndPush();
}

// Reports the page with the current medium's name and size.
void MoveToNextPageStrategy::Execute(IPostscriptParser* parser, const PostscriptTokenList&) const
{
    const PostscriptMedia& media = parser->GraphicsStateStack().Current().Media();
    CRawPage page;
    page.SetName(std::string_view(media.GetName()).substr(0, PAPER_NAME_LENGTH - 1));
    page.mintWidth = PointsToTenthsMm(media.GetWidth().GetValue());
    page.mintHeight = PointsToTenthsMm(media.GetHeight().GetValue());
    page.mblnColor = parser->IsCurrentPageColor();
    parser->NotifyPageCompleted(page);
    if (mblnResetColor)
        parser->MarkCurrentPageAsColor(false);
}

// Reads a string operand as PostScript.
void MakePreviousTokenExecuteableStrategy::Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const
{
    const PostscriptToken* operand = tokens.Find(0);
    if (operand == nullptr || operand->Type() != TOKEN_STRING)
        return;
    const std::string contents(operand->Data());
    if (&tokens == &parser->RecentTokens())
        parser->RecentTokens().EraseRecent(1);
    parser->TokenizeExecutedString(contents);
}

// Stores the array operand, or an empty list.
void StoreArrayInVariableStrategy::Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const
{
    size_t count = 0;
    const PostscriptToken* last = tokens.Find(0);
    if (last != nullptr && last->Type() == TOKEN_ARRAY && tokens.Length() >= 2) {
        for (size_t index = 1; index < tokens.Length(); ++index) {
            if (tokens[index].Type() == TOKEN_ARRAY) {
                count = index + 1;
                break;
            }
        }
    }
    parser->Variables().SetVariable(mstrName, tokens, count);
}

// Runs the strategy over a stored list.
void ExecuteStrategyWithVariableContentsStrategy::Execute(IPostscriptParser* parser,
                                                          const PostscriptTokenList&) const
{
    if (const PostscriptTokenList* stored = parser->Variables().GetVariable(mstrName))
        mStrategy->Execute(parser, *stored);
}

// Image data as base-85.
void ForceTokenizerToBase85Strategy::Execute(IPostscriptParser* parser, const PostscriptTokenList&) const
{
    parser->Tokenizer().ForceIntoBase85State();
}

// Image data as hex.
void ForceTokenizerToHexStrategy::Execute(IPostscriptParser* parser, const PostscriptTokenList&) const
{
    parser->Tokenizer().ForceIntoHexState();
}

// Reports duplex, when the operand asks for it if it decides.
void ReportDuplexStrategy::Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const
{
    if (mblnOperandDecides) {
        const PostscriptToken* operand = tokens.Find(0);
        if (operand == nullptr || !operand->IsName("true"))
            return;
    }
    const bool duplex = true;
    parser->GraphicsStateStack().Current().Requirements().mblnDuplex = true;
    parser->NotifyJobPropertyChanged(PROPERTY_DUPLEX, &duplex);
}

// Runs the members.
void CompositeParserStrategy::Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const
{
    for (const IParserStrategy* strategy : mvecStrategies)
        strategy->Execute(parser, tokens);
}

namespace {

// A real operand as a count: negative, NaN and fractional parts give what
// a printer would take, never an undefined conversion.
unsigned long mCountFrom(double value)
{
    if (!(value >= 1.0))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<long>::max()))
        return static_cast<unsigned long>(std::numeric_limits<long>::max());
    return static_cast<unsigned long>(value);
}

// The real value of a token, 0 when there is none.
double mReal(const PostscriptToken* token)
{
    return token == nullptr ? 0.0 : token->DataAsPostscriptReal().GetValue();
}

}  // namespace

// "n dict begin /Duplex true def ... currentdict end setpagedevice" (pdftops,
// pstops): the keys defined since "begin" whose value is written beside
// them; a value taken from the stack ("exch def") is not known here.
void SetPageDeviceDictionaryStrategy::mReadDefinedDictionary(IPostscriptParser* parser,
                                                             const PostscriptTokenList& tokens)
{
    PostscriptGraphicsState& state = parser->GraphicsStateStack().Current();
    // Definitions inside a procedure ("{ /Duplex true def } if") are made
    // only when it runs.
    size_t procedures = 0;
    for (size_t index = 1; index + 2 < tokens.Length(); ++index) {
        const PostscriptToken& token = tokens[index];
        if (token.Type() == TOKEN_PROCEDURE) {
            if (token.Data() == "}")
                ++procedures;
            else if (procedures > 0)
                --procedures;
            continue;
        }
        if (procedures > 0)
            continue;
        if (token.IsName("begin"))
            break;
        if (!token.IsName("def"))
            continue;
        const PostscriptToken& value = tokens[index + 1];
        const PostscriptToken& key = tokens[index + 2];
        if (key.IsName("/Duplex") && (value.IsName("true") || value.IsName("false"))) {
            const bool duplex = value.IsName("true");
            state.Requirements().mblnDuplex = duplex;
            parser->NotifyJobPropertyChanged(PROPERTY_DUPLEX, &duplex);
        } else if (key.IsName("/NumCopies") && value.IsNumber()) {
            const unsigned long copies = mCountFrom(mReal(&value));
            state.Requirements().mintCopies.SetValue(copies);
            if (copies != 0)
                parser->NotifyJobPropertyChanged(PROPERTY_COPIES, &copies);
        } else if (key.IsName("/Collate") && (value.IsName("true") || value.IsName("false"))) {
            state.Requirements().mblnCollate = value.IsName("true");
        }
    }
}

// Reads the keys of the dictionary before "setpagedevice".
void SetPageDeviceDictionaryStrategy::Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const
{
    const PostscriptToken* last = tokens.Find(0);
    if (last != nullptr && last->IsName("end")) {
        mReadDefinedDictionary(parser, tokens);
        return;
    }
    if (last == nullptr || (last->Type() != TOKEN_DICTIONARY && !last->IsName("put")))
        return;
    PostscriptGraphicsState& state = parser->GraphicsStateStack().Current();
    for (size_t index = 1; index < tokens.Length(); ++index) {
        const PostscriptToken& key = tokens[index];
        if (key.Type() == TOKEN_DICTIONARY || key.IsName("dict"))
            break;
        if (key.Type() != TOKEN_NAME)
            continue;
        // Values are the newer tokens; index - 1 always exists.
        const PostscriptToken& value = tokens[index - 1];
        const std::string_view name = key.Data();
        // "/MediaType" is the kind of paper (plain, glossy, a tray's
        // setting), never its size: it names no paper.
        if (name == "/MediaWeight") {
            state.Media().SetWeight(PostscriptPaperWeight(mReal(&value)));
        } else if (name == "/PageSize") {
            // [ width height ]: the two tokens after the bracket.
            if (index < 3)
                continue;
            // The name a PPD option gave the paper goes with the size its
            // setpagedevice gives; any other size is named when the page
            // ends.
            if (state.Media().GetWidth().GetValue() != 0.0 || state.Media().GetHeight().GetValue() != 0.0)
                state.Media().SetName(std::string());
            state.Media().SetWidth(PostscriptUnit(mReal(&tokens[index - 2])));
            state.Media().SetHeight(PostscriptUnit(mReal(&tokens[index - 3])));
        } else if (name == "/Duplex") {
            const bool duplex = value.IsName("true");
            state.Requirements().mblnDuplex = duplex;
            parser->NotifyJobPropertyChanged(PROPERTY_DUPLEX, &duplex);
        } else if (name == "/Collate") {
            state.Requirements().mblnCollate = value.IsName("true");
        } else if (name == "/NumCopies") {
            const unsigned long copies = mCountFrom(mReal(&value));
            state.Requirements().mintCopies.SetValue(copies);
            if (copies != 0)
                parser->NotifyJobPropertyChanged(PROPERTY_COPIES, &copies);
        } else if (name == "/Staple") {
            state.Requirements().mblnStaple = mReal(&value) != 0.0;
        } else if (name == "/Punch") {
            state.Requirements().mblnPunch = mReal(&value) != 0.0;
        } else if (name == "/ProcessColorModel") {
            // A name, or a string as some PPDs write it: (DeviceGray).
            PostscriptColorSpace colorSpace = COLOR_SPACE_NONE;
            if (value.Type() == TOKEN_NAME)
                colorSpace = ColorSpaceFromName(value.Data());
            else if (value.Type() == TOKEN_STRING)
                colorSpace = ColorSpaceFromName("/" + std::string(value.Data()));
            if (colorSpace != COLOR_SPACE_NONE) {
                state.SetColorSpace(colorSpace);
                parser->SetDeviceColorSpace(colorSpace);
            }
        }
    }
}

}  // namespace ParserStrategies

}  // namespace RawPrintData::Postscript
