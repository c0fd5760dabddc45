#include "PrinterLanguageParser/Parser/postscript/PostscriptDefinitions.h"

#include "PrinterLanguageParser/Parser/postscript/PostscriptColorSpace.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptParserStrategies.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptStrategyInstances.h"

namespace RawPrintData::Postscript {

namespace ParserStrategies {
namespace {

// The effect of a keyword's strategy inside a procedure's body.
void mAddEffectOf(const IParserStrategy* strategy, PostscriptDefinitions::Summary& summary, bool first)
{
    using Definitions = PostscriptDefinitions;
    summary.mintEffects |= Definitions::EFFECT_NAMES_KEYWORD;
    const IParserStrategy* setter = nullptr;
    if (strategy == &MoveToNextPage || strategy == &CopyCurrentPageAndMoveToNextPage ||
        strategy == &PopToSavedGraphicsStateAndMoveToNextPage) {
        summary.mintEffects |= Definitions::EFFECT_PAGE_END;
    } else if (strategy == &MarkCurrentPageAsColorAndMoveToNextPage) {
        summary.mintEffects |= Definitions::EFFECT_PAGE_END | Definitions::EFFECT_COLOR_IMAGE;
    } else if (strategy == &MarkCurrentPageAsColor || strategy == &DoCmykImageAndForceBase85 ||
               strategy == &DoRgbImageAndForceBase85 || strategy == &DoRgbImageAndForceHex ||
               strategy == &ForceTokenizerToBase85AndMarkCurrentPageAsColor) {
        summary.mintEffects |= Definitions::EFFECT_COLOR_IMAGE;
    } else if (strategy == &SetColorSpaceRgb || strategy == &SetColorSpaceCmyk) {
        summary.mintEffects |= Definitions::EFFECT_COLOR_SPACE;
    } else if (strategy == &CheckIfImageIsColor && (summary.mintEffects & Definitions::EFFECT_COLOR_SPACE) != 0) {
        summary.mintEffects |= Definitions::EFFECT_COLOR_IMAGE;
    } else if (strategy == &CheckCurrentColorspaceAndMarkCurrentPageAsColor || strategy == &CheckIfImageIsColor) {
        summary.mintEffects |= Definitions::EFFECT_PAINT;
    } else if (strategy == &SetPageDeviceDictionary) {
        summary.mintEffects |= Definitions::EFFECT_SET_PAGE_DEVICE;
    } else if (strategy == &SetRgbColorAndPaint) {
        setter = &SetRgbColor;
        summary.mintEffects |= Definitions::EFFECT_PAINT;
    } else if (strategy == &SetCmykColorAndPaint) {
        setter = &SetCmykColor;
        summary.mintEffects |= Definitions::EFFECT_PAINT;
    } else if (strategy == &SetHsbColorAndPaint) {
        setter = &SetHsbColor;
        summary.mintEffects |= Definitions::EFFECT_PAINT;
    } else if (strategy == &SetColorAndPaint) {
        setter = &SetColor;
        summary.mintEffects |= Definitions::EFFECT_PAINT;
    } else if (strategy == &SetRgbColor || strategy == &SetCmykColor || strategy == &SetHsbColor ||
               strategy == &SetColor || strategy == &SetColorSpaceGray) {
        setter = strategy;
    }
    if (first)
        summary.mSetter = setter;
}

}  // namespace
}  // namespace ParserStrategies

// The one strategy a procedure's body stands for: a page end first, then a
// colour image, duplex asked of setpagedevice, a colour operator (with the
// painting that follows it), painting alone, a colour space set.
const IParserStrategy* PostscriptDefinitions::StrategyFor(const Summary& summary)
{
    using namespace ParserStrategies;
    const uint16_t effects = summary.mintEffects;
    if ((effects & EFFECT_PAGE_END) != 0)
        return (effects & EFFECT_COLOR_IMAGE) != 0 ? static_cast<const IParserStrategy*>(
                                                         &MarkCurrentPageAsColorAndMoveToNextPage)
                                                   : &MoveToNextPage;
    if ((effects & EFFECT_COLOR_IMAGE) != 0)
        return &MarkCurrentPageAsColor;
    if ((effects & EFFECT_SET_PAGE_DEVICE) != 0 && (effects & EFFECT_DUPLEX) != 0)
        return &ReportDuplex;
    if ((effects & EFFECT_SET_PAGE_DEVICE) != 0 && (effects & EFFECT_DUPLEX_IF_OPERAND) != 0)
        return &ReportDuplexIfOperandTrue;
    const IParserStrategy* setter = summary.mSetter;
    if (setter != nullptr && (effects & EFFECT_PAINT) != 0) {
        if (setter == &SetRgbColor)
            return &SetRgbColorAndPaint;
        if (setter == &SetCmykColor)
            return &SetCmykColorAndPaint;
        if (setter == &SetHsbColor)
            return &SetHsbColorAndPaint;
        if (setter == &SetColor)
            return &SetColorAndPaint;
        return setter;  // grey paints nothing in colour
    }
    if (setter != nullptr)
        return setter;
    if ((effects & EFFECT_PAINT) != 0)
        return &CheckCurrentColorspaceAndMarkCurrentPageAsColor;
    // ImageMagick's image dictionaries: a colour space for the image that
    // the caller draws.
    if ((effects & EFFECT_COLOR_SPACE) != 0)
        return &SetColorSpaceRgb;
    return nullptr;
}

// Follows procedures, literal names, "load" and the definitions.
bool PostscriptDefinitions::Take(const PostscriptTokenView& token, PostscriptParserStrategies& strategies)
{
    // Numbers, strings and operators outside procedures whose length is
    // none of the words of a definition only take their place among the
    // last items, unless they act on a procedure.
    const PostscriptTokenType type = token.Type();
    if (mintDepth == 0 && type != TOKEN_PROCEDURE) {
        Frame& frame = mvecFrames[0];
        const std::string_view text = token.Data();
        const bool plain = type != TOKEN_NAME || (!text.empty() && text.front() != '/' && text.size() != 3 &&
                                                  text.size() != 4 && text.size() != 8 && text.size() != 11);
        const Item* last = frame.Back(0);
        if (plain && (type != TOKEN_NAME || last == nullptr || last->mintKind != ITEM_PROCEDURE)) {
            frame.mSummary.mintEffects |= EFFECT_NOT_EMPTY;
            frame.Push(ITEM_OTHER);
            return false;
        }
    }
    return mTakeAny(token, strategies);
}

bool PostscriptDefinitions::mTakeAny(const PostscriptTokenView& token, PostscriptParserStrategies& strategies)
{
    const size_t before = mintDefinitions;
    mTake(token, strategies);
    return before == mintMAX_DEFINITIONS && mintDefinitions > before;
}

void PostscriptDefinitions::mTake(const PostscriptTokenView& token, PostscriptParserStrategies& strategies)
{
    const PostscriptTokenType type = token.Type();
    if (type == TOKEN_PROCEDURE) {
        if (token.Data() == "{")
            mOpenProcedure();
        else
            mCloseProcedure();
        return;
    }
    if (mintDepth >= mintMAX_DEPTH)
        return;
    Frame& frame = mvecFrames[mintDepth];
    // Only "pop" leaves a body empty: "{}" and "{pop}" do nothing.
    if (type != TOKEN_NAME || token.Data() != "pop")
        frame.mSummary.mintEffects |= EFFECT_NOT_EMPTY;
    const bool first = (frame.mSummary.mintEffects & EFFECT_STARTED) == 0;
    frame.mSummary.mintEffects |= EFFECT_STARTED;
    if (type != TOKEN_NAME) {
        frame.Push(ITEM_OTHER);
        return;
    }
    const std::string_view name = token.Data();
    if (!name.empty() && name.front() == '/') {
        frame.Push(ITEM_LITERAL_NAME).mstrName.assign(name.substr(1));
        return;
    }
    mTakeName(name, frame, strategies, first);
}

// A new procedure body one level deeper.
void PostscriptDefinitions::mOpenProcedure()
{
    ++mintDepth;
    if (mintDepth < mintMAX_DEPTH)
        mvecFrames[mintDepth].Reset();
}

// The body ends: it becomes an item of the enclosing depth, whose body (when
// it is one) names everything it names, duplex only where it is certain.
void PostscriptDefinitions::mCloseProcedure()
{
    if (mintDepth == 0)
        return;
    --mintDepth;
    if (mintDepth + 1 >= mintMAX_DEPTH)
        return;
    const Summary body = mvecFrames[mintDepth + 1].mSummary;
    Frame& frame = mvecFrames[mintDepth];
    frame.mSummary.mintEffects |= (body.mintEffects & ~EFFECT_DUPLEX) | EFFECT_NOT_EMPTY | EFFECT_STARTED;
    frame.Push(ITEM_PROCEDURE).mSummary = body;
}

// An executable name: a definition, the parts of one, or a keyword that the
// body being read names.
void PostscriptDefinitions::mTakeName(std::string_view name, Frame& frame, PostscriptParserStrategies& strategies,
                                      bool first)
{
    // The words of a definition, told apart by length first: this runs for
    // every name of the job.
    switch (name.size()) {
    case 3:
        if (name == "def" || name == "put") {
            mDefine(frame, strategies);
            frame.mintCount = 0;
            return;
        }
        break;
    case 4:
        if (name == "bind")
            return;
        if (name == "load" || name == "true") {
            frame.Push(name == "load" ? ITEM_LOAD : ITEM_TRUE);
            return;
        }
        break;
    case 8:
    case 11:
        if (name == "readonly" || name == "executeonly")
            return;
        break;
    default: break;
    }
    const Item* last = frame.Back(0);
    if (last != nullptr && last->mintKind == ITEM_PROCEDURE && (last->mSummary.mintEffects & EFFECT_DUPLEX) != 0)
        frame.mSummary.mintEffects |= name == "if" ? EFFECT_DUPLEX_IF_OPERAND : EFFECT_DUPLEX;
    if (mintDepth != 0) {
        if (const PostscriptParserStrategies::Entry* entry = strategies.Find(name)) {
            // "/DeviceRGB setcolorspace": the images drawn after it are
            // drawn in colour.
            if (entry->mStrategy == &ParserStrategies::SetColorSpace && last != nullptr &&
                last->mintKind == ITEM_LITERAL_NAME) {
                const PostscriptColorSpace space = ColorSpaceFromName("/" + last->mstrName);
                if (space != COLOR_SPACE_NONE && space != COLOR_SPACE_DEVICE_GRAY && space != COLOR_SPACE_CIE_BASED_A)
                    frame.mSummary.mintEffects |= EFFECT_COLOR_SPACE;
            }
            // An image drawn after a colour space was set, also in the
            // body around this one ("... { image } ifelse").
            if (entry->mStrategy == &ParserStrategies::CheckIfImageIsColor) {
                for (size_t depth = 1; depth < mintDepth && depth < mintMAX_DEPTH; ++depth)
                    frame.mSummary.mintEffects |= mvecFrames[depth].mSummary.mintEffects & EFFECT_COLOR_SPACE;
            }
            ParserStrategies::mAddEffectOf(entry->mStrategy, frame.mSummary, first);
        }
    }
    frame.Push(ITEM_OTHER);
}

// "/name {...} def", "/name /keyword load def" (or "put" into a dictionary)
// and "/Duplex true def".
void PostscriptDefinitions::mDefine(Frame& frame, PostscriptParserStrategies& strategies)
{
    const Item* value = frame.Back(0);
    const Item* key = frame.Back(1);
    if (value == nullptr || key == nullptr)
        return;
    if (value->mintKind == ITEM_TRUE && key->mintKind == ITEM_LITERAL_NAME) {
        if (key->mstrName == "Duplex")
            frame.mSummary.mintEffects |= EFFECT_DUPLEX;
        return;
    }
    if (value->mintKind == ITEM_PROCEDURE && key->mintKind == ITEM_LITERAL_NAME) {
        const Summary& body = value->mSummary;
        const IParserStrategy* strategy = StrategyFor(body);
        // A keyword redefined to nothing at all ("{}", "{pop}") does nothing.
        if ((body.mintEffects & EFFECT_NOT_EMPTY) == 0)
            mSetName(key->mstrName, nullptr, strategies, true);
        else if (strategy != nullptr)
            mSetName(key->mstrName, strategy, strategies, false);
        return;
    }
    const Item* alias = frame.Back(2);
    if (value->mintKind == ITEM_LOAD && key->mintKind == ITEM_LITERAL_NAME && alias != nullptr &&
        alias->mintKind == ITEM_LITERAL_NAME) {
        const PostscriptParserStrategies::Entry* entry = strategies.Find(key->mstrName);
        mSetName(alias->mstrName, entry != nullptr ? entry->mStrategy : nullptr, strategies, true);
    }
}

// Gives a name its new meaning. A keyword the tables know keeps theirs
// unless it becomes another keyword ("load") or nothing at all, and then
// only where the job runs the definition (outside procedures): a procedure
// that redefines showpage, as an embedded document's wrapper does, may never
// run, and a known prologue's procedures are what its table describes.
void PostscriptDefinitions::mSetName(std::string_view name, const IParserStrategy* strategy,
                                     PostscriptParserStrategies& strategies, bool mayRedefine)
{
    const PostscriptParserStrategies::Entry* existing = strategies.Find(name);
    if (existing != nullptr && (mintDepth != 0 || !mayRedefine))
        return;
    if (existing == nullptr && strategy == nullptr)
        return;
    if (existing != nullptr && existing->mStrategy == strategy)
        return;
    if (mintDefinitions >= mintMAX_DEFINITIONS) {
        if (mintDefinitions == mintMAX_DEFINITIONS)
            ++mintDefinitions;  // Take tells once that the bound is reached
        return;
    }
    ++mintDefinitions;
    strategies.AddOrReplace(name, strategy);
}

}  // namespace RawPrintData::Postscript
