// The strategy for PDF's inline images, which programs that turn PDF into
// PostScript (Ghostscript's ps2write) copy as they are.
#include "PrinterLanguageParser/Parser/postscript/IPostscriptParser.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptGraphicsState.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptStrategies.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptTokenList.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptTokenizer.h"

#include <initializer_list>
#include <string_view>

namespace RawPrintData::Postscript::ParserStrategies {

namespace {

// Whether a name is one of the names, abbreviated or full.
bool mIsOneOf(const PostscriptToken* token, std::initializer_list<std::string_view> names)
{
    if (token == nullptr || token->Type() != TOKEN_NAME)
        return false;
    for (const std::string_view name : names) {
        if (token->Data() == name)
            return true;
    }
    return false;
}

// The value of a dictionary entry, or its first element when it is an array.
const PostscriptToken* mFirstOfValue(const PostscriptTokenList& tokens, size_t keyIndex)
{
    const PostscriptToken* value = tokens.Find(keyIndex - 1);
    if (value != nullptr && value->Type() == TOKEN_ARRAY && keyIndex >= 2)
        return tokens.Find(keyIndex - 2);
    return value;
}

// The parts of an inline image's dictionary that matter here.
struct InlineImage {
    const PostscriptToken* mColorSpace = nullptr;  // the name, or an array's first element
    const PostscriptToken* mBaseSpace = nullptr;   // an indexed space's base
    bool mblnMask = false;
    const PostscriptToken* mFirstFilter = nullptr;
};

// Reads the dictionary between "BI" and "ID", newest token first (values
// are the newer tokens); of a key given twice, the later entry counts.
bool mReadInlineImage(const PostscriptTokenList& tokens, InlineImage& image)
{
    bool colorSpaceRead = false;
    bool maskRead = false;
    bool filterRead = false;
    for (size_t index = 0; index < tokens.Length(); ++index) {
        const PostscriptToken* key = &tokens[index];
        if (key->Type() != TOKEN_NAME)
            continue;
        if (key->Data() == "BI")
            return true;
        if (index == 0 || key->Data().size() < 2 || key->Data()[0] != '/')
            continue;
        // The keys read here begin "/C", "/I" or "/F"; the others (width,
        // height, bits, decode ...) are passed over at once.
        const char initial = key->Data()[1];
        if (initial != 'C' && initial != 'I' && initial != 'F')
            continue;
        if (!colorSpaceRead && mIsOneOf(key, {"/CS", "/ColorSpace"})) {
            colorSpaceRead = true;
            image.mColorSpace = mFirstOfValue(tokens, index);
            if (tokens[index - 1].Type() == TOKEN_ARRAY && index >= 3)
                image.mBaseSpace = tokens.Find(index - 3);
        } else if (!maskRead && mIsOneOf(key, {"/IM", "/ImageMask"})) {
            maskRead = true;
            image.mblnMask = tokens[index - 1].IsName("true");
        } else if (!filterRead && mIsOneOf(key, {"/F", "/Filter"})) {
            filterRead = true;
            image.mFirstFilter = mFirstOfValue(tokens, index);
        }
    }
    return false;
}

// Whether the colour space paints only greys.
bool mIsGreySpace(const InlineImage& image)
{
    const std::initializer_list<std::string_view> GREY = {"/G", "/DeviceGray", "/CalGray"};
    if (mIsOneOf(image.mColorSpace, {"/I", "/Indexed"}))
        return mIsOneOf(image.mBaseSpace, GREY);
    return mIsOneOf(image.mColorSpace, GREY);
}

}  // namespace

// Decides the image's colour and reads its data as one string.
void InspectInlineImageStrategy::Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const
{
    InlineImage image;
    if (!mReadInlineImage(tokens, image))
        return;
    if (image.mblnMask) {
        if (parser->GraphicsStateStack().Current().IsColor())
            parser->MarkCurrentPageAsColor(true);
    } else if (image.mColorSpace != nullptr && !mIsGreySpace(image)) {
        parser->MarkCurrentPageAsColor(true);
    }
    if (mIsOneOf(image.mFirstFilter, {"/A85", "/ASCII85Decode"}))
        parser->Tokenizer().ForceIntoBase85State();
    else if (mIsOneOf(image.mFirstFilter, {"/AHx", "/ASCIIHexDecode"}))
        parser->Tokenizer().ForceIntoHexState();
}

}  // namespace RawPrintData::Postscript::ParserStrategies
