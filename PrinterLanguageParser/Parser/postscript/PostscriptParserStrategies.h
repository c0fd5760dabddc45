#pragma once

#include "PrinterLanguageParser/Parser/postscript/IParserStrategy.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptKeywordTables.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace RawPrintData::Postscript {

// One parser's keyword map: starts with the base table; prologue tables are
// added (each at most once) as the job names them, a later table replacing
// an earlier meaning of a keyword.
class PostscriptParserStrategies {
public:
    PostscriptParserStrategies() = default;
    // The look-up tables point into each other: not copied.
    PostscriptParserStrategies(const PostscriptParserStrategies&) = delete;
    PostscriptParserStrategies& operator=(const PostscriptParserStrategies&) = delete;

    // Removes any entry of the keyword, then adds the new one.
    void AddOrReplace(std::string_view keyword, const IParserStrategy* strategy);
    void Remove(std::string_view keyword);
    // The keyword's strategy, or the null strategy.
    const IParserStrategy* GetStrategy(std::string_view keyword) const;
    // A keyword's entry in the look-up of every name: its strategy and
    // whether the strategy suppresses the name.
    struct Entry {
        const IParserStrategy* mStrategy;
        bool mblnSuppressToken;
    };

    // The keyword's entry, or null when no table knows it.
    const Entry* Find(std::string_view keyword) const
    {
        // Most operators of PDF content are one byte: looked up directly.
        if (keyword.size() == 1)
            return mSingleByteEntries[static_cast<unsigned char>(keyword[0])];
        const uint64_t head = mHead(keyword);
        const size_t mask = mvecSlots.size() - 1;
        for (size_t slot = mHash(head, keyword.size()) & mask;; slot = (slot + 1) & mask) {
            const Slot& entry = mvecSlots[slot];
            if (entry.mEntry.mStrategy == nullptr)
                return nullptr;
            if (entry.mintHead == head && entry.mstrKeyword.size() == keyword.size() &&
                (keyword.size() <= sizeof(head) ||
                 entry.mstrKeyword.substr(sizeof(head)) == keyword.substr(sizeof(head))))
                return &entry.mEntry;
        }
    }

    void AddStrategiesForBasicPostscript() { mAddTable(KEYWORDS_BASIC_POSTSCRIPT); }
    void AddStrategiesForWindowsBasic() { mAddTable(KEYWORDS_WINDOWS_BASIC); }
    void AddStrategiesForWindowsL2Utils() { mAddTable(KEYWORDS_WINDOWS_L2_UTILS); }
    void AddStrategiesForWindowsL2Dib() { mAddTable(KEYWORDS_WINDOWS_L2_DIB); }
    void AddStrategiesForAdobeAgmCore() { mAddTable(KEYWORDS_ADOBE_AGM_CORE); }
    void AddStrategiesForAdobeCoolType() { mAddTable(KEYWORDS_ADOBE_COOL_TYPE); }
    void AddStrategiesForAdobeAgmImage() { mAddTable(KEYWORDS_ADOBE_AGM_IMAGE); }
    void AddStrategiesForCorel() { mAddTable(KEYWORDS_COREL); }
    void AddStrategiesForEPS() { mAddTable(KEYWORDS_EPS); }
    void AddStrategiesForPDF() { mAddTable(KEYWORDS_PDF); }
    void AddStrategiesForPDFLev3() { mAddTable(KEYWORDS_PDF_LEV3); }
    void AddStrategiesForPDFText() { mAddTable(KEYWORDS_PDF_TEXT); }
    void AddStrategiesForCoreGraphicsPDF() { mAddTable(KEYWORDS_CORE_GRAPHICS_PDF); }
    void AddStrategiesForPdfContent() { mAddTable(KEYWORDS_PDF_CONTENT); }
    void AddStrategiesForCairo() { mAddTable(KEYWORDS_CAIRO); }
    void AddStrategiesForXpdf() { mAddTable(KEYWORDS_XPDF); }

    bool IsTableAdded(KeywordTableId table) const { return table < mblnAdded.size() && mblnAdded[table]; }

private:
    void mAddTable(KeywordTableId table);
    // Refills the open-addressed lookup table from the map.
    void mRebuildSlots();
    // A keyword's first eight bytes (fewer for a shorter one) as a number.
    // Read with at most two loads that stay within the keyword (on a
    // little-endian machine, where the first byte is the lowest).
    static uint64_t mHead(std::string_view keyword)
    {
        const char* const bytes = keyword.data();
        const size_t size = keyword.size();
        if constexpr (std::endian::native == std::endian::little) {
            if (size >= 8)
                return mLoad<uint64_t>(bytes);
            if (size >= 4) {
                const uint64_t low = mLoad<uint32_t>(bytes);
                const uint64_t high = mLoad<uint32_t>(bytes + size - 4);
                return low | (high << (8 * (size - 4)));
            }
        }
        uint64_t head = 0;
        for (size_t index = 0; index < size && index < sizeof(head); ++index)
            head |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[index])) << (8 * index);
        return head;
    }
    template <typename Word>
    static uint64_t mLoad(const char* bytes)
    {
        Word word;
        std::memcpy(&word, bytes, sizeof(word));
        return word;
    }
    // A quick hash of a keyword from its first bytes and its length.
    static size_t mHash(uint64_t head, size_t length)
    {
        const uint64_t mixed = (head ^ (length * 0x9E3779B97F4A7C15ULL)) * 0xFF51AFD7ED558CCDULL;
        return static_cast<size_t>(mixed >> 40);
    }

    struct Slot {
        uint64_t mintHead = 0;
        std::string_view mstrKeyword;  // the map's key
        Entry mEntry{nullptr, false};
    };

    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };

    std::unordered_map<std::string, const IParserStrategy*, Hash, std::equal_to<>> mStrategies;
    std::array<bool, KEYWORD_TABLE_COUNT> mblnAdded{};
    // Power-of-two sized, at most half full: the keyword look-up of every name.
    std::vector<Slot> mvecSlots = std::vector<Slot>(1);
    // The entries of one-byte keywords (in the slots) by their byte.
    std::array<const Entry*, 256> mSingleByteEntries{};
};

}  // namespace RawPrintData::Postscript
