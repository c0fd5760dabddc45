#pragma once

#include "PrinterLanguageParser/Parser/DataBuffer.h"
#include "PrinterLanguageParser/Parser/ParseDataResultType.h"
#include "PrinterLanguageParser/Parser/RawLanguageType.h"
#include "PrinterLanguageParser/Parser/postscript/DscLineWatcher.h"
#include "PrinterLanguageParser/Parser/postscript/ITokenListener.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptToken.h"
#include "PrinterLanguageParser/Parser/postscript/TokenizerStates.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace RawPrintData::Postscript {

// Turns PostScript bytes into tokens for a listener. A state machine whose
// state, token text and pending byte persist across Tokenize calls, so a token
// cut by the end of a chunk is completed with the next one; only a partly
// seen language signature (CPCA, the Universal Exit Language) is left
// unconsumed instead, so that the next language receives it whole.
class PostscriptTokenizer {
public:
    // The longest token text kept. Longer strings, comments and data words
    // are read to their end but cut to this length, so a job cannot grow one.
    static constexpr size_t mintMAX_TOKEN_TEXT = 64 * 1024;
    // The most positions SaveBufferState keeps.
    static constexpr size_t mintMAX_SAVED_POSITIONS = 64;

    PostscriptTokenizer();
    explicit PostscriptTokenizer(ITokenListener* listener);
    ~PostscriptTokenizer();
    PostscriptTokenizer(const PostscriptTokenizer&) = delete;
    PostscriptTokenizer& operator=(const PostscriptTokenizer&) = delete;

    // Sets the listener only when none is set.
    void SetListener(ITokenListener* listener);
    void RemoveListener() { mListener = nullptr; }

    // Tokenizes the buffer from the logical index first (its start by
    // default); returns the last state result (0 for nothing), stopping early
    // at 3 (language switch) or a failure.
    ParseDataResultType Tokenize(const DataBuffer& buffer, uint64_t first = 0);
    ParseDataResultType Tokenize(std::string_view bytes);

    // Bytes of the last buffer handed to the states.
    uint64_t BytesProcessed() const { return mintPosition; }
    // Gives back bytes already tokenized (a signature for the next language);
    // false, changing nothing, when fewer bytes than that were processed.
    bool MoveBack(uint64_t count);
    void SaveBufferState();
    void RestoreBufferState();

    // Ends an unfinished token at the end of the job: -2 when a string or
    // other token had to be dropped unfinished.
    ParseDataResultType Flush();

    // Reads the bytes that follow as one base-85 or hex string.
    void ForceIntoBase85State();
    void ForceIntoHexState();
    // After a failure: passes over the bytes up to the next line that
    // begins a structuring DSC comment, and reads on from there.
    void SkipToDscComment();

    RawLanguageType GetSwitchToLanguage() const { return mintSwitchToLanguage; }

    // Whether the tokenizer is between tokens.
    bool IsBetweenTokens() const;

    // Whether the name being signalled draws a picture whose data the
    // tokenizer read as neutral (ImageMagick's DisplayImage): the colour
    // its procedure may choose is not painted.
    bool IsSignallingNeutralPicture() const { return mblnNeutralPicture; }

private:
    friend class TokenizerStates::IPostscriptTokenizerState;

    // Runs the states over one contiguous part of the input.
    ParseDataResultType mTokenizeSpan(std::span<const unsigned char> bytes, bool& stop);
    ParseDataResultType mSignal(PostscriptTokenType type, PostscriptNumber<double> number);
    ParseDataResultType mSignalText(PostscriptTokenType type, std::string_view text);
    // Between tokens: reads the tokens that start the bytes while each ends
    // within them, exactly as the states would, and returns the bytes taken
    // (a token's terminating byte included when it belongs to it); the
    // states take over at the first byte it leaves. Advances the position.
    size_t mScanTokens(const unsigned char* bytes, size_t length, ParseDataResultType& result);
    // One token each; 0 leaves the first byte to the states.
    [[gnu::always_inline]] inline size_t mScanName(const unsigned char* bytes, size_t length,
                                                   ParseDataResultType& result);
    size_t mEndName(const unsigned char* bytes, size_t end, PostscriptTokenType type, ParseDataResultType& result);
    size_t mScanComment(const unsigned char* bytes, size_t length, ParseDataResultType& result);
    [[gnu::always_inline]] inline size_t mScanString(const unsigned char* bytes, size_t length, ParseDataResultType& result);
    size_t mScanAngle(const unsigned char* bytes, size_t length, ParseDataResultType& result);
    // Leaves a partly seen language signature at the end of the input unconsumed.
    void mHoldBackPartialSignature();

    std::array<std::unique_ptr<TokenizerStates::IPostscriptTokenizerState>, TokenizerStates::STATE_COUNT> mvecStates;
    TokenizerStates::IPostscriptTokenizerState* mCurrentState = nullptr;
    TokenizerStates::IPostscriptTokenizerState* mWhiteSpaceState = nullptr;
    RawLanguageType mintSwitchToLanguage = LANGUAGE_POSTSCRIPT;
    unsigned char mbytPending = 0;
    ITokenListener* mListener = nullptr;
    std::string mstrText;  // text of the token being built
    bool mblnNeutralPicture = false;
    uint64_t mintPosition = 0;
    std::vector<uint64_t> mvecSavedPositions;
    DscLineWatcher mLineWatcher;
};

}  // namespace RawPrintData::Postscript
