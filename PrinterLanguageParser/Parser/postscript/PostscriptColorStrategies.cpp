// The strategies that follow colour spaces and colours.
#include "PrinterLanguageParser/Parser/postscript/IPostscriptParser.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptGraphicsState.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptStrategies.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptTokenList.h"

#include <algorithm>
#include <array>

namespace RawPrintData::Postscript::ParserStrategies {

namespace {

// Up to count operands from index first on, missing ones as 0; false when a
// present operand is no number.
template <size_t Count>
bool mReadNumbers(const PostscriptTokenList& tokens, size_t first, std::array<double, Count>& values)
{
    values.fill(0.0);
    for (size_t index = 0; index < Count; ++index) {
        const PostscriptToken* token = tokens.Find(first + index);
        if (token == nullptr)
            break;
        if (!token->IsNumber())
            return false;
        values[index] = token->DataAsPostscriptReal().GetValue();
    }
    return true;
}

// Whether the operands give a grey in the colour space.
bool mIsGrey(PostscriptColorSpace colorSpace, const PostscriptTokenList& tokens, size_t skip)
{
    switch (colorSpace) {
    case COLOR_SPACE_NONE:
    case COLOR_SPACE_DEVICE_GRAY:
        return true;
    case COLOR_SPACE_DEVICE_CMYK: {
        std::array<double, 4> kymc{};
        if (!mReadNumbers(tokens, skip, kymc))
            return false;
        const double k = kymc[0];
        const double red = 1 - std::min(1.0, kymc[3] + k);
        const double green = 1 - std::min(1.0, kymc[2] + k);
        const double blue = 1 - std::min(1.0, kymc[1] + k);
        return red == green && green == blue;
    }
    case COLOR_SPACE_DEVICE_RGB: {
        std::array<double, 3> bgr{};
        if (!mReadNumbers(tokens, skip, bgr))
            return false;
        return bgr[0] == bgr[1] && bgr[1] == bgr[2];
    }
    case COLOR_SPACE_HSB: {
        const PostscriptToken* saturation = tokens.Find(skip + 1);
        return saturation != nullptr && saturation->IsNumber() &&
               saturation->DataAsPostscriptReal().GetValue() == 0.0;
    }
    case COLOR_SPACE_CIE_BASED_A:
    case COLOR_SPACE_CIE_BASED_ABC: {
        std::array<double, 3> values{};
        size_t read = 0;
        for (; read < values.size(); ++read) {
            const PostscriptToken* token = tokens.Find(skip + read);
            if (token == nullptr || !token->IsNumber())
                break;
            values[read] = token->DataAsPostscriptReal().GetValue();
        }
        return read < 2 || (values[0] == values[1] && values[1] == values[2]);
    }
    default:
        return false;
    }
}

// The index just older than the procedure that ends at the index (its "}"),
// or the list's length when it does not begin there.
size_t mIndexBeforeProcedure(const PostscriptTokenList& tokens, size_t end)
{
    size_t depth = 0;
    for (size_t index = end; index < tokens.Length(); ++index) {
        const PostscriptToken& token = tokens[index];
        if (token.Type() != TOKEN_PROCEDURE)
            continue;
        if (token.Data() == "}")
            ++depth;
        else if (--depth == 0)
            return index + 1;
    }
    return tokens.Length();
}

}  // namespace

// Sets the colour space and whether the colour is grey.
void InspectColorAndSetCurrentGraphicsStateAppropriatelyStrategy::Execute(IPostscriptParser* parser,
                                                                          const PostscriptTokenList& tokens) const
{
    PostscriptGraphicsState& state = parser->GraphicsStateStack().Current();
    if (mintColorSpace != COLOR_SPACE_NONE)
        state.SetColorSpace(mintColorSpace);
    state.SetColor(!mIsGrey(state.GetColorSpace(), tokens, mintSkip));
    if (mintColorSpace == COLOR_SPACE_HSB)
        state.SetColorSpace(COLOR_SPACE_DEVICE_RGB);
}

// Sets the colour space from the strategy or the operand.
void SetColorSpaceStrategy::Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const
{
    PostscriptGraphicsState& state = parser->GraphicsStateStack().Current();
    if (mintColorSpace != COLOR_SPACE_NONE) {
        state.SetColorSpace(mintColorSpace);
        return;
    }
    size_t first = 0;
    if (mblnBeforeProcedure) {
        const PostscriptToken* last = tokens.Find(0);
        if (last == nullptr || last->Type() != TOKEN_PROCEDURE || last->Data() != "}")
            return;
        first = mIndexBeforeProcedure(tokens, 0);
    }
    const PostscriptToken* operand = tokens.Find(first);
    if (operand == nullptr)
        return;
    if (operand->IsName("dup")) {
        operand = tokens.Find(first + 1);
    } else if (operand->Type() == TOKEN_ARRAY) {
        // The array's first element: the token just newer than its "[".
        const PostscriptToken* element = nullptr;
        for (size_t index = first + 1; index < tokens.Length(); ++index) {
            if (tokens[index].Type() == TOKEN_ARRAY) {
                element = &tokens[index - 1];
                break;
            }
        }
        operand = element;
    }
    if (operand == nullptr || operand->Type() != TOKEN_NAME)
        return;
    const PostscriptColorSpace colorSpace = ColorSpaceFromName(operand->Data());
    if (colorSpace != COLOR_SPACE_NONE)
        state.SetColorSpace(colorSpace);
}

// Marks the page colour when painting in colour.
void CheckCurrentColorspaceAndMarkCurrentPageAsColorStrategy::Execute(IPostscriptParser* parser,
                                                                      const PostscriptTokenList&) const
{
    if (parser->GraphicsStateStack().Current().IsColor())
        parser->MarkCurrentPageAsColor(true);
}

// The dictionary form of image paints in the current colour; the
// five-operand form paints grey.
void CheckIfImageIsColorStrategy::Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const
{
    const PostscriptToken* operand = tokens.Find(0);
    if (operand != nullptr && operand->Type() == TOKEN_DICTIONARY && parser->GraphicsStateStack().Current().IsColor())
        parser->MarkCurrentPageAsColor(true);
}

// Sets the page's colour flag.
void MarkCurrentPageAsColorStrategy::Execute(IPostscriptParser* parser, const PostscriptTokenList&) const
{
    parser->MarkCurrentPageAsColor(mblnColor);
}

}  // namespace RawPrintData::Postscript::ParserStrategies
