#include "PrinterLanguageParser/Parser/postscript/PostscriptTokenizer.h"

#include "PrinterLanguageParser/Parser/IRawDataParser.h"

#include <algorithm>

namespace RawPrintData::Postscript {

using namespace TokenizerStates;

namespace {

constexpr std::string_view CPCA_SIGNATURE{"\xCD\xCA\x10", 3};

}  // namespace

// Makes a tokenizer without listener.
PostscriptTokenizer::PostscriptTokenizer() : PostscriptTokenizer(nullptr) {}

// Makes a tokenizer that reports to the listener.
PostscriptTokenizer::PostscriptTokenizer(ITokenListener* listener) : mListener(listener)
{
    mvecStates[STATE_PROLOGUE] = std::make_unique<PrologueState>(*this);
    mvecStates[STATE_WHITE_SPACE] = std::make_unique<WhiteSpaceState>(*this);
    mvecStates[STATE_COMMENT] = std::make_unique<CommentState>(*this, TOKEN_COMMENT);
    mvecStates[STATE_DSC_COMMENT] = std::make_unique<CommentState>(*this, TOKEN_DSC_COMMENT);
    mvecStates[STATE_NAME] = std::make_unique<NameState>(*this, TOKEN_NAME);
    mvecStates[STATE_NUMBER] = std::make_unique<NameState>(*this, TOKEN_NUMBER);
    mvecStates[STATE_STRING] = std::make_unique<StringLiteralState>(*this);
    mvecStates[STATE_STRING_ESCAPE] = std::make_unique<StringEscapeState>(*this);
    mvecStates[STATE_HEX_STRING] = std::make_unique<HexStringState>(*this);
    mvecStates[STATE_BASE85_STRING] = std::make_unique<Base85StringState>(*this);
    mvecStates[STATE_AFTER_PERCENT] = std::make_unique<AfterPercentState>(*this);
    mvecStates[STATE_AFTER_LESS] = std::make_unique<AfterLessState>(*this);
    mvecStates[STATE_AFTER_GREATER] = std::make_unique<AfterGreaterState>(*this);
    mvecStates[STATE_BINARY_TOKEN] = std::make_unique<BinaryTokenState>(*this);
    mvecStates[STATE_CONSUME_DATA] = std::make_unique<ConsumeDataState>(*this, "%%EndData");
    mvecStates[STATE_CONSUME_BINARY] = std::make_unique<ConsumeDataState>(*this, "%%EndBinary");
    mvecStates[STATE_CPCA_SIGNATURE] = std::make_unique<CpcaSignatureState>(*this);
    mvecStates[STATE_SKIP_TO_DSC_COMMENT] = std::make_unique<SkipToDscCommentState>(*this);
    mWhiteSpaceState = mvecStates[STATE_WHITE_SPACE].get();
    mCurrentState = mWhiteSpaceState;
}

PostscriptTokenizer::~PostscriptTokenizer() = default;

// Sets the listener when none is set.
void PostscriptTokenizer::SetListener(ITokenListener* listener)
{
    if (mListener == nullptr)
        mListener = listener;
}

// Tokenizes a buffer from a logical index.
ParseDataResultType PostscriptTokenizer::Tokenize(const DataBuffer& buffer, uint64_t first)
{
    const std::span<const unsigned char> pre = buffer.PreBuffer();
    const std::span<const unsigned char> main = buffer.MainBuffer();
    first = std::min<uint64_t>(first, buffer.Length());
    mintPosition = first;
    bool stop = false;
    ParseDataResultType result = PARSE_RESULT_HANDLED;
    if (first < pre.size())
        result = mTokenizeSpan(pre.subspan(first), stop);
    const uint64_t mainFirst = first > pre.size() ? first - pre.size() : 0;
    if (!stop && mainFirst < main.size())
        result = mTokenizeSpan(main.subspan(mainFirst), stop);
    if (!stop)
        mHoldBackPartialSignature();
    return result;
}

// Tokenizes bytes of their own (the contents of an executed string).
ParseDataResultType PostscriptTokenizer::Tokenize(std::string_view bytes)
{
    mintPosition = 0;
    bool stop = false;
    return mTokenizeSpan(std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), stop);
}

// Runs the current states over the bytes. Between tokens, the tokens that
// end within the bytes are read straight from them (mScanTokens); everything
// else goes through the states.
ParseDataResultType PostscriptTokenizer::mTokenizeSpan(std::span<const unsigned char> bytes, bool& stop)
{
    ParseDataResultType result = PARSE_RESULT_HANDLED;
    const unsigned char* const data = bytes.data();
    const size_t length = bytes.size();
    for (size_t index = 0; index < length;) {
        if (mCurrentState == mWhiteSpaceState && mstrText.empty()) {
            ParseDataResultType scanned = PARSE_RESULT_HANDLED;
            const size_t taken = mScanTokens(data + index, length - index, scanned);
            if (taken > 0) {
                index += taken;
                result = scanned;
                if (scanned == PARSE_RESULT_SWITCH_LANGUAGE) {
                    stop = true;
                    break;
                }
                continue;
            }
        }
        // Runs that only extend a token's text are taken in bulk.
        const size_t run = mCurrentState->ConsumeRun(data + index, length - index);
        if (run > 0) {
            index += run;
            mintPosition += run;
            result = PARSE_RESULT_NEED_MORE_DATA;
            continue;
        }
        result = mCurrentState->ProcessByte(data[index]);
        ++index;
        ++mintPosition;
        if (result == PARSE_RESULT_SWITCH_LANGUAGE || result < 0) {
            stop = true;
            break;
        }
    }
    return result;
}

// Gives back a signature prefix at the end of the input, so that the next
// call sees the signature whole and a hand-over never reaches back into a
// chunk that was already reported as processed.
void PostscriptTokenizer::mHoldBackPartialSignature()
{
    const size_t length = mstrText.size();
    if (length == 0 || length > mintPosition)
        return;
    const std::string_view text(mstrText);
    const bool partialCpca = mCurrentState == mvecStates[STATE_CPCA_SIGNATURE].get() && length < CPCA_SIGNATURE.size() &&
                             CPCA_SIGNATURE.starts_with(text);
    const bool partialExit = mCurrentState == mvecStates[STATE_NAME].get() &&
                             length < IRawDataParser::mstrUNIVERSAL_EXIT_LANGUAGE.size() &&
                             IRawDataParser::mstrUNIVERSAL_EXIT_LANGUAGE.starts_with(text);
    if (!partialCpca && !partialExit)
        return;
    mintPosition -= length;
    mstrText.clear();
    mCurrentState = mvecStates[STATE_WHITE_SPACE].get();
}

// Hands the text to the listener as a token, then clears it (its storage
// is kept, so signalling does not allocate).
ParseDataResultType PostscriptTokenizer::mSignal(PostscriptTokenType type, PostscriptNumber<double> number)
{
    const bool go = mListener == nullptr || mListener->TokenScanned(PostscriptTokenView(type, mstrText, number));
    mstrText.clear();
    return go ? PARSE_RESULT_HANDLED : PARSE_RESULT_SWITCH_LANGUAGE;
}

// Moves the position back over bytes already tokenized.
bool PostscriptTokenizer::MoveBack(uint64_t count)
{
    if (count > mintPosition)
        return false;
    mintPosition -= count;
    return true;
}

// Pushes the position.
void PostscriptTokenizer::SaveBufferState()
{
    if (mvecSavedPositions.size() < mintMAX_SAVED_POSITIONS)
        mvecSavedPositions.push_back(mintPosition);
}

// Pops the position pushed last.
void PostscriptTokenizer::RestoreBufferState()
{
    if (mvecSavedPositions.empty())
        return;
    mintPosition = mvecSavedPositions.back();
    mvecSavedPositions.pop_back();
}

// Ends the unfinished token.
ParseDataResultType PostscriptTokenizer::Flush()
{
    return mCurrentState->Flush();
}

// Reads what follows as base-85 data.
void PostscriptTokenizer::ForceIntoBase85State()
{
    mCurrentState = mvecStates[STATE_BASE85_STRING].get();
    mCurrentState->Enter();
}

// Reads what follows as hex data.
void PostscriptTokenizer::ForceIntoHexState()
{
    mCurrentState = mvecStates[STATE_HEX_STRING].get();
    mCurrentState->Enter();
}

// Passes over what follows up to the next structuring comment.
void PostscriptTokenizer::SkipToDscComment()
{
    mstrText.clear();
    mCurrentState = mvecStates[STATE_SKIP_TO_DSC_COMMENT].get();
    mCurrentState->Enter();
}

// Whether no token is being built.
bool PostscriptTokenizer::IsBetweenTokens() const
{
    return mCurrentState == mvecStates[STATE_WHITE_SPACE].get() && mstrText.empty();
}

namespace TokenizerStates {

// The token text.
std::string& IPostscriptTokenizerState::Text()
{
    return mTokenizer.mstrText;
}

// Appends within the limit.
void IPostscriptTokenizerState::Append(unsigned char byte)
{
    if (mTokenizer.mstrText.size() < PostscriptTokenizer::mintMAX_TOKEN_TEXT)
        mTokenizer.mstrText.push_back(static_cast<char>(byte));
}

// Appends bytes within the limit.
void IPostscriptTokenizerState::Append(std::string_view bytes)
{
    std::string& text = mTokenizer.mstrText;
    const size_t room = PostscriptTokenizer::mintMAX_TOKEN_TEXT - std::min(text.size(), PostscriptTokenizer::mintMAX_TOKEN_TEXT);
    text.append(bytes.substr(0, room));
}

// Signals the text as a token.
ParseDataResultType IPostscriptTokenizerState::Signal(PostscriptTokenType type)
{
    return mTokenizer.mSignal(type, PostscriptNumber<double>());
}

ParseDataResultType IPostscriptTokenizerState::SignalPicture(bool neutral)
{
    mTokenizer.mblnNeutralPicture = neutral;
    const ParseDataResultType result = Signal(TOKEN_NAME);
    mTokenizer.mblnNeutralPicture = false;
    return result;
}

// Signals a binary number.
ParseDataResultType IPostscriptTokenizerState::SignalNumber(double value)
{
    mTokenizer.mstrText.clear();
    return mTokenizer.mSignal(TOKEN_BINARY_NUMBER, PostscriptNumber<double>(value));
}

// Makes a state current and enters it.
void IPostscriptTokenizerState::GoTo(StateId state)
{
    mTokenizer.mCurrentState = mTokenizer.mvecStates[state].get();
    mTokenizer.mCurrentState->Enter();
}

// Makes a state current as it was left.
void IPostscriptTokenizerState::Resume(StateId state)
{
    mTokenizer.mCurrentState = mTokenizer.mvecStates[state].get();
}

// Goes to a state and gives it the byte.
ParseDataResultType IPostscriptTokenizerState::HandTo(StateId state, unsigned char byte)
{
    GoTo(state);
    return mTokenizer.mCurrentState->ProcessByte(byte);
}

// Returns to a state and gives it the byte.
ParseDataResultType IPostscriptTokenizerState::ResumeAndHand(StateId state, unsigned char byte)
{
    Resume(state);
    return mTokenizer.mCurrentState->ProcessByte(byte);
}

// The pending byte.
unsigned char& IPostscriptTokenizerState::Pending()
{
    return mTokenizer.mbytPending;
}

// Records the language the tokenizer stopped for.
void IPostscriptTokenizerState::SetSwitchToLanguage(RawLanguageType language)
{
    mTokenizer.mintSwitchToLanguage = language;
}

// Not at a line start.
void IPostscriptTokenizerState::StopWatching()
{
    mTokenizer.mLineWatcher.Stop();
}

// Follows line starts; true when the byte ends a structuring comment's keyword.
bool IPostscriptTokenizerState::Watch(unsigned char byte)
{
    return mTokenizer.mLineWatcher.Take(byte);
}

// Whether bytes at a line start are being matched.
bool IPostscriptTokenizerState::IsWatchingLineStart() const
{
    return mTokenizer.mLineWatcher.IsAtLineStart();
}

// Drops the unfinished token and reads the comment the line begins.
ParseDataResultType IPostscriptTokenizerState::ResyncAtDscComment(unsigned char byte)
{
    Text().assign(mTokenizer.mLineWatcher.Comment());
    Pending() = 0;
    return HandTo(STATE_DSC_COMMENT, byte);
}

// Back between tokens; an unfinished text is dropped with -2.
ParseDataResultType IPostscriptTokenizerState::Flush()
{
    GoTo(STATE_WHITE_SPACE);
    if (Text().empty())
        return PARSE_RESULT_HANDLED;
    Text().clear();
    return PARSE_RESULT_UNFINISHED_TOKEN;
}

}  // namespace TokenizerStates

}  // namespace RawPrintData::Postscript
