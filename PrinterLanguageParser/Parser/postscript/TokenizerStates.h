#pragma once

#include "PrinterLanguageParser/Parser/ParseDataResultType.h"
#include "PrinterLanguageParser/Parser/RawLanguageType.h"
#include "PrinterLanguageParser/Parser/postscript/ImageMagickPicture.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptToken.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace RawPrintData::Postscript {

class PostscriptTokenizer;

namespace TokenizerStates {

// The tokenizer's states, in the order it holds them.
enum StateId : size_t {
    STATE_PROLOGUE,
    STATE_WHITE_SPACE,
    STATE_COMMENT,
    STATE_DSC_COMMENT,
    STATE_NAME,
    STATE_NUMBER,
    STATE_STRING,
    STATE_STRING_ESCAPE,
    STATE_HEX_STRING,
    STATE_BASE85_STRING,
    STATE_AFTER_PERCENT,
    STATE_AFTER_LESS,
    STATE_AFTER_GREATER,
    STATE_BINARY_TOKEN,
    STATE_CONSUME_DATA,
    STATE_CONSUME_BINARY,
    STATE_CPCA_SIGNATURE,
    STATE_SKIP_TO_DSC_COMMENT,
    STATE_COUNT
};

// White space in PostScript: NUL, TAB, LF, FF, CR and space.
constexpr bool IsWhiteSpace(unsigned char byte)
{
    return byte == 0 || byte == '\t' || byte == '\n' || byte == '\f' || byte == '\r' || byte == ' ';
}

// One state of the tokenizer. A state that cannot use a byte may go to
// another state and hand it the same byte.
class IPostscriptTokenizerState {
public:
    static constexpr std::string_view mstrBasicPostscriptPrologue = "%!PS";

    explicit IPostscriptTokenizerState(PostscriptTokenizer& tokenizer) : mTokenizer(tokenizer) {}
    virtual ~IPostscriptTokenizerState() = default;
    IPostscriptTokenizerState(const IPostscriptTokenizerState&) = delete;
    IPostscriptTokenizerState& operator=(const IPostscriptTokenizerState&) = delete;

    // Takes one byte; 1 when it only consumed it.
    virtual ParseDataResultType ProcessByte(unsigned char byte) = 0;
    // Ends the token at the end of the job: back between tokens, -2 when
    // an unfinished text is dropped.
    virtual ParseDataResultType Flush();
    // Called on every transition into the state.
    virtual void Enter() {}
    // Takes the leading bytes that only extend the token's text, in bulk;
    // returns how many it took (the tokenizer then skips them).
    virtual size_t ConsumeRun(const unsigned char*, size_t) { return 0; }

protected:
    // The text of the token being built.
    std::string& Text();
    // Appends the bytes of a run, up to the tokenizer's limit.
    void AppendRun(const unsigned char* bytes, size_t length)
    {
        Append(std::string_view(reinterpret_cast<const char*>(bytes), length));
    }
    // Appends a byte to the text, up to the tokenizer's limit.
    void Append(unsigned char byte);
    void Append(std::string_view bytes);
    // Signals the text as a token of the type and clears it; 3 when the
    // listener asks to stop.
    ParseDataResultType Signal(PostscriptTokenType type);
    ParseDataResultType SignalNumber(double value);
    // Signals the text as a name that draws a picture, neutral or not.
    ParseDataResultType SignalPicture(bool neutral);
    // Makes the state current and calls its Enter.
    void GoTo(StateId state);
    // Makes the state current without calling its Enter.
    void Resume(StateId state);
    // Goes to the state and gives it the byte.
    ParseDataResultType HandTo(StateId state, unsigned char byte);
    // Returns to the state as it was left and gives it the byte.
    ParseDataResultType ResumeAndHand(StateId state, unsigned char byte);
    // The byte shared by the base-85 and escape states (0 when none).
    unsigned char& Pending();
    void SetSwitchToLanguage(RawLanguageType language);

    // For the states that read data of any kind, the tokenizer's watcher of
    // line starts (DscLineWatcher): StopWatching on entry, Watch with every
    // byte; when Watch is true, ResyncAtDscComment drops the unfinished token
    // and reads the line as the DSC comment it begins, the byte included.
    void StopWatching();
    bool Watch(unsigned char byte);
    bool IsWatchingLineStart() const;
    ParseDataResultType ResyncAtDscComment(unsigned char byte);

private:
    PostscriptTokenizer& mTokenizer;
};

class WhiteSpaceState final : public IPostscriptTokenizerState {
public:
    using IPostscriptTokenizerState::IPostscriptTokenizerState;
    ParseDataResultType ProcessByte(unsigned char byte) override;
};

// Names and numbers follow the same rules; only the token type differs.
class NameState final : public IPostscriptTokenizerState {
public:
    NameState(PostscriptTokenizer& tokenizer, PostscriptTokenType type)
        : IPostscriptTokenizerState(tokenizer), mintType(type)
    {
    }
    ParseDataResultType ProcessByte(unsigned char byte) override;
    ParseDataResultType Flush() override;
    size_t ConsumeRun(const unsigned char* bytes, size_t length) override;

private:
    // Ends the token at a byte that belongs to the next one.
    ParseDataResultType mEndAndHandOn(StateId state, unsigned char byte);
    // Ends the token at a byte that starts the next one in the state.
    ParseDataResultType mEndAndStartNext(StateId state, unsigned char byte);

    PostscriptTokenType mintType;
};

class AfterPercentState final : public IPostscriptTokenizerState {
public:
    using IPostscriptTokenizerState::IPostscriptTokenizerState;
    ParseDataResultType ProcessByte(unsigned char byte) override;
    ParseDataResultType Flush() override;
};

// A "%!" line: a prologue when it starts with "%!PS", else a plain comment.
class PrologueState final : public IPostscriptTokenizerState {
public:
    using IPostscriptTokenizerState::IPostscriptTokenizerState;
    ParseDataResultType ProcessByte(unsigned char byte) override;
    ParseDataResultType Flush() override;
    void Enter() override { mintType = TOKEN_PROLOGUE; }

private:
    PostscriptTokenType mintType = TOKEN_PROLOGUE;
};

// A comment line (type 5) or a DSC comment line (type 6).
class CommentState final : public IPostscriptTokenizerState {
public:
    CommentState(PostscriptTokenizer& tokenizer, PostscriptTokenType type)
        : IPostscriptTokenizerState(tokenizer), mintType(type)
    {
    }
    ParseDataResultType ProcessByte(unsigned char byte) override;
    size_t ConsumeRun(const unsigned char* bytes, size_t length) override;
    ParseDataResultType Flush() override;

private:
    PostscriptTokenType mintType;
};

// Skips the data of a %%BeginData or %%BeginBinary block up to its end marker.
class ConsumeDataState final : public IPostscriptTokenizerState {
public:
    ConsumeDataState(PostscriptTokenizer& tokenizer, std::string_view endMarker)
        : IPostscriptTokenizerState(tokenizer), mstrEndMarker(endMarker)
    {
    }
    ParseDataResultType ProcessByte(unsigned char byte) override;
    void Enter() override;

private:
    ParseDataResultType mTakePictureHeader(unsigned char byte);

    std::string_view mstrEndMarker;
    bool mblnWordSignalled = false;
    // ImageMagick's picture: "DisplayImage" is held until the lines after it
    // tell whether the picture is neutral.
    std::optional<ImageMagickPicture> mPicture;
};

class AfterLessState final : public IPostscriptTokenizerState {
public:
    using IPostscriptTokenizerState::IPostscriptTokenizerState;
    ParseDataResultType ProcessByte(unsigned char byte) override;
};

class AfterGreaterState final : public IPostscriptTokenizerState {
public:
    using IPostscriptTokenizerState::IPostscriptTokenizerState;
    ParseDataResultType ProcessByte(unsigned char byte) override;
};

class StringLiteralState final : public IPostscriptTokenizerState {
public:
    using IPostscriptTokenizerState::IPostscriptTokenizerState;
    ParseDataResultType ProcessByte(unsigned char byte) override;
    size_t ConsumeRun(const unsigned char* bytes, size_t length) override;
    void Enter() override;

private:
    uint64_t mintDepth = 1;
};

class StringEscapeState final : public IPostscriptTokenizerState {
public:
    using IPostscriptTokenizerState::IPostscriptTokenizerState;
    ParseDataResultType ProcessByte(unsigned char byte) override;
    void Enter() override;

private:
    int mintDigits = 0;
    unsigned mintValue = 0;
};

class HexStringState final : public IPostscriptTokenizerState {
public:
    using IPostscriptTokenizerState::IPostscriptTokenizerState;
    ParseDataResultType ProcessByte(unsigned char byte) override;
    size_t ConsumeRun(const unsigned char* bytes, size_t length) override;
    void Enter() override { StopWatching(); }
};

class Base85StringState final : public IPostscriptTokenizerState {
public:
    using IPostscriptTokenizerState::IPostscriptTokenizerState;
    ParseDataResultType ProcessByte(unsigned char byte) override;
    size_t ConsumeRun(const unsigned char* bytes, size_t length) override;
    void Enter() override;
};

// The CPCA signature CD CA 10 inside PostScript.
class CpcaSignatureState final : public IPostscriptTokenizerState {
public:
    using IPostscriptTokenizerState::IPostscriptTokenizerState;
    ParseDataResultType ProcessByte(unsigned char byte) override;
    void Enter() override;
};

// A binary token (types 128 to 149 of the binary token encoding).
class BinaryTokenState final : public IPostscriptTokenizerState {
public:
    using IPostscriptTokenizerState::IPostscriptTokenizerState;
    ParseDataResultType ProcessByte(unsigned char byte) override;
    void Enter() override;

private:
    // Sets the body length once the header is complete; false for a header
    // the encoding does not allow.
    bool mHeaderComplete();
    // Signals the finished token.
    ParseDataResultType mFinish();
    // Whether multi-byte header fields are big-endian.
    bool mIsBigEndianHeader() const;

    unsigned char mbytType = 0;
    std::array<unsigned char, 7> mbytHeader{};
    size_t mintHeaderLength = 0;    // header bytes expected after the type byte
    size_t mintHeaderReceived = 0;
    uint64_t mintBodyLength = 0;
    uint64_t mintBodyReceived = 0;
    std::array<unsigned char, 4> mbytNumberBody{};  // body of the number types
    bool mblnTypeRead = false;
};

// After bytes the tokenizer could not read: everything up to the next line
// that begins a structuring DSC comment is passed over.
class SkipToDscCommentState final : public IPostscriptTokenizerState {
public:
    using IPostscriptTokenizerState::IPostscriptTokenizerState;
    ParseDataResultType ProcessByte(unsigned char byte) override;
    size_t ConsumeRun(const unsigned char* bytes, size_t length) override;
    void Enter() override;
};

}  // namespace TokenizerStates

}  // namespace RawPrintData::Postscript
