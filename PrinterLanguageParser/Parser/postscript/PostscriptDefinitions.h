#pragma once

#include "PrinterLanguageParser/Parser/postscript/IParserStrategy.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptToken.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace RawPrintData::Postscript {

class PostscriptParserStrategies;

// Follows the names a job defines for its own operators, so that they act as
// the keywords they stand for: "/Cr /setrgbcolor load def" makes Cr set an
// RGB colour, "/s {show} bind def" makes s paint text, "/EP {restore
// showpage} def" ends a page, and "userdict /showpage {} put" makes showpage
// print nothing. It does not run PostScript: a procedure is summed up by the
// keywords its body names (what sets colour, paints, draws a colour image,
// ends a page, sets duplex for setpagedevice), and the definition maps the
// name to the one strategy that summary stands for. Every token of the job
// passes through it, the prolog's too, so it is a few comparisons a token.
class PostscriptDefinitions {
public:
    // How many names a job may define; later definitions are not followed.
    static constexpr size_t mintMAX_DEFINITIONS = 1024;
    // How deep procedures are followed inside each other.
    static constexpr size_t mintMAX_DEPTH = 32;

    // Takes one token that is no comment; true the one time a definition
    // beyond the bound is passed over.
    bool Take(const PostscriptTokenView& token, PostscriptParserStrategies& strategies);

    bool InProcedure() const { return mintDepth != 0; }

    // What a procedure's body names.
    enum Effect : uint16_t {
        EFFECT_PAGE_END = 1,
        EFFECT_COLOR_IMAGE = 2,
        EFFECT_PAINT = 4,
        EFFECT_SET_PAGE_DEVICE = 8,
        EFFECT_DUPLEX = 16,             // "/Duplex true def"
        EFFECT_DUPLEX_IF_OPERAND = 32,  // the same inside "{ ... } if"
        EFFECT_NAMES_KEYWORD = 64,      // any name a table knows
        EFFECT_NOT_EMPTY = 128,         // anything but "pop"
        EFFECT_STARTED = 256,           // a token has been read
        EFFECT_COLOR_SPACE = 512,       // "/DeviceRGB setcolorspace" and the like
    };
    struct Summary {
        uint16_t mintEffects = 0;
        // The colour operator the body starts with, which takes the
        // operands written before the name; one further in takes its
        // operands from the body (a2ps's background colour), not the call.
        const IParserStrategy* mSetter = nullptr;
    };

    // The strategy a summed-up procedure stands for, or null.
    static const IParserStrategy* StrategyFor(const Summary& summary);

private:
    // What was written last at one depth, newest last.
    enum ItemKind : uint8_t { ITEM_OTHER, ITEM_LITERAL_NAME, ITEM_PROCEDURE, ITEM_LOAD, ITEM_TRUE };
    struct Item {
        ItemKind mintKind = ITEM_OTHER;
        std::string mstrName;  // a literal name without its "/", or empty
        Summary mSummary;
    };
    // One depth: its last items (a ring whose slots keep their text
    // storage; a power of two, so that no division is needed) and the
    // summary of the procedure being read there.
    struct Frame {
        static constexpr size_t mintITEMS = 4;
        std::array<Item, mintITEMS> mItems{};
        size_t mintNewest = 0;
        size_t mintCount = 0;
        Summary mSummary;
        // Takes a new item, reusing the oldest slot. Only the kind is set:
        // a literal name's text and a procedure's summary are written by the
        // caller and read only for those kinds.
        Item& Push(ItemKind kind)
        {
            mintNewest = (mintNewest + 1) & (mintITEMS - 1);
            if (mintCount < mintITEMS)
                ++mintCount;
            Item& item = mItems[mintNewest];
            item.mintKind = kind;
            return item;
        }
        // The item written index places before the newest one, or null.
        const Item* Back(size_t index) const
        {
            return index < mintCount ? &mItems[(mintNewest + mintITEMS - index) & (mintITEMS - 1)] : nullptr;
        }
        void Reset()
        {
            mintCount = 0;
            mSummary = Summary();
        }
    };

    bool mTakeAny(const PostscriptTokenView& token, PostscriptParserStrategies& strategies);
    void mTake(const PostscriptTokenView& token, PostscriptParserStrategies& strategies);
    void mOpenProcedure();
    void mCloseProcedure();
    void mTakeName(std::string_view name, Frame& frame, PostscriptParserStrategies& strategies, bool first);
    void mDefine(Frame& frame, PostscriptParserStrategies& strategies);
    void mSetName(std::string_view name, const IParserStrategy* strategy, PostscriptParserStrategies& strategies,
                  bool mayRedefine);

    std::array<Frame, mintMAX_DEPTH> mvecFrames{};
    size_t mintDepth = 0;
    size_t mintDefinitions = 0;
};

}  // namespace RawPrintData::Postscript
