#include "PrinterLanguageParser/Parser/pdf/document/ContentStreamReader.h"

#include <cctype>
#include <cstdlib>
#include <exception>

namespace RawPrintData::Pdf {

namespace {

// Thrown out of write to stop qpdf decoding the rest of the stream.
struct StopReading : std::runtime_error {
    StopReading() : std::runtime_error("content reading stopped") {}
};

bool IsWhitespace(unsigned char byte)
{
    return byte == 0 || byte == '\t' || byte == '\n' || byte == '\f' || byte == '\r' || byte == ' ';
}

bool IsDelimiter(unsigned char byte)
{
    switch (byte) {
    case '(': case ')': case '<': case '>': case '[': case ']': case '{': case '}': case '/': case '%':
        return true;
    default:
        return false;
    }
}

int HexValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    return -1;
}

// A name's text with its #xx escapes decoded.
std::string DecodedName(const std::string& word)
{
    std::string name;
    for (size_t index = 0; index < word.size(); ++index) {
        const int high = index + 2 < word.size() && word[index] == '#' ? HexValue(word[index + 1]) : -1;
        const int low = high >= 0 ? HexValue(word[index + 2]) : -1;
        if (low >= 0) {
            name += static_cast<char>(high * 16 + low);
            index += 2;
        } else {
            name += word[index];
        }
    }
    return name;
}

// Whether the word is a number, and whether it has a fraction.
bool IsNumber(const std::string& word, bool& real)
{
    size_t index = word[0] == '+' || word[0] == '-' ? 1 : 0;
    size_t digits = 0;
    real = false;
    for (; index < word.size(); ++index) {
        if (word[index] >= '0' && word[index] <= '9')
            ++digits;
        else if (word[index] == '.' && !real)
            real = true;
        else
            return false;
    }
    return digits > 0;
}

// The bytes a string token stands for: a literal string "(...)" with its
// escapes, or a hex string "<...>".
std::string StringValue(const std::string& token)
{
    std::string value;
    if (token.empty())
        return value;
    if (token[0] == '<') {
        int high = -1;
        for (const char ch : token) {
            const int digit = std::isxdigit(static_cast<unsigned char>(ch))
                                  ? (std::isdigit(static_cast<unsigned char>(ch)) ? ch - '0' : (ch | 0x20) - 'a' + 10)
                                  : -1;
            if (digit < 0)
                continue;
            if (high < 0) {
                high = digit;
            } else {
                value += static_cast<char>(high << 4 | digit);
                high = -1;
            }
        }
        if (high >= 0)
            value += static_cast<char>(high << 4);
        return value;
    }
    // Between the outer brackets.
    for (size_t at = 1; at + 1 < token.size(); ++at) {
        if (token[at] != '\\') {
            value += token[at];
            continue;
        }
        if (++at + 1 >= token.size())
            break;
        const char escaped = token[at];
        static const std::string CODES = "nrtbf";
        static const std::string BYTES = "\n\r\t\b\f";
        if (CODES.find(escaped) != std::string::npos) {
            value += BYTES[CODES.find(escaped)];
        } else if (escaped >= '0' && escaped <= '7') {
            int code = 0;
            for (int digits = 0; digits < 3 && at + 1 < token.size() && token[at] >= '0' && token[at] <= '7';
                 ++digits, ++at)
                code = code * 8 + (token[at] - '0');
            --at;
            value += static_cast<char>(code & 0xFF);
        } else if (escaped == '\r' || escaped == '\n') {
            // A line end after a backslash continues the string.
            if (escaped == '\r' && at + 2 < token.size() && token[at + 1] == '\n')
                ++at;
        } else {
            value += escaped;
        }
    }
    return value;
}

}  // namespace

ContentStreamReader::ContentStreamReader(ContentSink& sink, WorkBudget& budget, InputSource& input)
    : Pipeline("content reader", nullptr), mSink(sink), mBudget(budget), mInput(input)
{
}

void ContentStreamReader::write(unsigned char const* data, size_t length)
{
    if (!mstrTrouble.empty() || mSink.Finished())
        throw StopReading();
    if (!mBudget.SpendBytes(length)) {
        mstrTrouble = mBudget.Describe();
        throw StopReading();
    }
    for (size_t index = 0; index < length; ++index) {
        // The common run of spaces, and an inline image's samples, in a tight loop.
        if (meState == State::Between) {
            while (index < length && IsWhitespace(data[index]))
                ++index;
            if (index == length)
                break;
        }
        mByte(data[index]);
        if (!mstrTrouble.empty() || mSink.Finished())
            throw StopReading();
    }
}

void ContentStreamReader::finish()
{
    // Streams of a page follow each other as if a space parted them.
    try {
        if (meState == State::Word)
            mEndWord();
        else if (meState == State::Comment || meState == State::AfterLess || meState == State::AfterGreater)
            meState = State::Between;
        if (meState == State::InlineImage && mintImageMatch == 3) {
            meState = State::Between;
            mEndInlineImage();
        }
    } catch (const StopReading&) {
    }
}

void ContentStreamReader::mByte(unsigned char byte)
{
    switch (meState) {
    case State::Between:
        if (IsWhitespace(byte)) {
            // between tokens
        } else if (byte == '%') {
            meState = State::Comment;
        } else if (byte == '(') {
            meState = State::LiteralString;
            mintStringDepth = 1;
            mblnEscape = false;
            mstrString = "(";
            if (mintCompositeDepth > 0)
                mAppendComposite("(");
        } else if (byte == '<') {
            meState = State::AfterLess;
        } else if (byte == '>') {
            meState = State::AfterGreater;
        } else if (byte == '[') {
            mOpen("[");
        } else if (byte == ']') {
            mClose("]");
        } else if (byte == ')' || byte == '{' || byte == '}') {
            // Stray or PostScript-only delimiters paint nothing.
        } else {
            meState = State::Word;
            mstrWord.assign(1, static_cast<char>(byte));
        }
        return;
    case State::Comment:
        if (byte == '\r' || byte == '\n')
            meState = State::Between;
        return;
    case State::Word:
        if (!IsWhitespace(byte) && !IsDelimiter(byte)) {
            if (mstrWord.size() >= MAX_WORD_BYTES)
                mDamage("a content stream holds a word of more than " + std::to_string(MAX_WORD_BYTES) + " bytes");
            mstrWord += static_cast<char>(byte);
            return;
        }
        mEndWord();
        // The one whitespace byte after ID belongs to the operator.
        if (meState == State::InlineImage && IsWhitespace(byte))
            return;
        if (meState == State::Between)
            mByte(byte);
        return;
    case State::LiteralString:
        mKeepStringByte(byte);
        if (mblnEscape) {
            mblnEscape = false;
        } else if (byte == '\\') {
            mblnEscape = true;
        } else if (byte == '(') {
            ++mintStringDepth;
        } else if (byte == ')' && --mintStringDepth == 0) {
            meState = State::Between;
            if (mintCompositeDepth == 0)
                mEmitString();
        }
        return;
    case State::HexString:
        mKeepStringByte(byte);
        if (byte == '>') {
            meState = State::Between;
            if (mintCompositeDepth == 0)
                mEmitString();
        }
        return;
    case State::AfterLess:
        if (byte == '<') {
            meState = State::Between;
            mOpen("<<");
            return;
        }
        meState = State::HexString;
        mstrString = "<";
        if (mintCompositeDepth > 0)
            mAppendComposite("<");
        mByte(byte);
        return;
    case State::AfterGreater:
        meState = State::Between;
        if (byte == '>')
            mClose(">>");
        else
            mByte(byte);
        return;
    case State::InlineImage:
        // The samples end at "EI" between whitespace.
        if (mintImageMatch == 3 && (IsWhitespace(byte) || IsDelimiter(byte))) {
            meState = State::Between;
            mEndInlineImage();
            mByte(byte);
            return;
        }
        if (mstrImage.size() < MAX_INLINE_IMAGE_BYTES)
            mstrImage += static_cast<char>(byte);
        else
            mblnImageTooLarge = true;
        if (mintImageMatch == 1 && byte == 'E') {
            mintImageMatch = 2;
        } else if (mintImageMatch == 2 && byte == 'I') {
            mintImageMatch = 3;
        } else {
            mintImageMatch = IsWhitespace(byte) ? 1 : 0;
        }
        return;
    }
}

// An inline image's samples (without the whitespace and "EI" after them),
// unless there were too many to hold, then its EI.
void ContentStreamReader::mEndInlineImage()
{
    if (!mblnImageTooLarge && mstrImage.size() >= 3)
        mEmit(QPDFObjectHandle::newInlineImage(mstrImage.substr(0, mstrImage.size() - 3)));
    mstrImage.clear();
    mEmit(QPDFObjectHandle::newOperator("EI"));
}

// A byte of a string: kept with the array or dictionary the string lies
// in, or as the string itself.
void ContentStreamReader::mKeepStringByte(unsigned char byte)
{
    if (mintCompositeDepth > 0)
        mAppendComposite(std::string(1, static_cast<char>(byte)));
    else
        mAppendString(byte);
}

// A string outside arrays and dictionaries, as written, up to the limit of
// an array's text; a longer one is handed on as null.
void ContentStreamReader::mAppendString(unsigned char byte)
{
    if (mstrString.size() >= MAX_COMPOSITE_BYTES) {
        mblnStringTooLong = true;
        return;
    }
    mstrString += static_cast<char>(byte);
}

void ContentStreamReader::mEmitString()
{
    mEmit(mblnStringTooLong ? QPDFObjectHandle::newNull() : QPDFObjectHandle::newString(StringValue(mstrString)));
    mstrString.clear();
    mblnStringTooLong = false;
}

void ContentStreamReader::mEndWord()
{
    meState = State::Between;
    if (mintCompositeDepth > 0)
        mAppendComposite(mstrWord + " ");
    else
        mEmitWord(mstrWord);
}

void ContentStreamReader::mEmitWord(const std::string& word)
{
    bool real = false;
    if (word[0] == '/') {
        mEmit(QPDFObjectHandle::newName(DecodedName(word)));
    } else if (IsNumber(word, real)) {
        if (real || word.size() > 18)
            mEmit(QPDFObjectHandle::newReal(word));
        else
            mEmit(QPDFObjectHandle::newInteger(std::strtoll(word.c_str(), nullptr, 10)));
    } else if (word == "true" || word == "false") {
        mEmit(QPDFObjectHandle::newBool(word == "true"));
    } else if (word == "null") {
        mEmit(QPDFObjectHandle::newNull());
    } else {
        mEmit(QPDFObjectHandle::newOperator(word));
        if (word == "ID") {
            meState = State::InlineImage;
            mintImageMatch = 0;
            mstrImage.clear();
            mblnImageTooLarge = false;
        }
    }
}

void ContentStreamReader::mOpen(const char* text)
{
    if (mintCompositeDepth == 0) {
        mstrComposite.clear();
        mblnCompositeTooLong = false;
    }
    ++mintCompositeDepth;
    mAppendComposite(text);
}

void ContentStreamReader::mClose(const char* text)
{
    if (mintCompositeDepth == 0)
        return;  // a stray close paints nothing
    mAppendComposite(text);
    if (--mintCompositeDepth > 0)
        return;
    QPDFObjectHandle object = QPDFObjectHandle::newNull();
    try {
        if (!mblnCompositeTooLong)
            object = QPDFObjectHandle::parse(mstrComposite, "content stream operand");
    } catch (const std::exception&) {
        // A damaged operand counts as none.
    }
    mstrComposite.clear();
    mEmit(object);
}

void ContentStreamReader::mEmit(QPDFObjectHandle object)
{
    const qpdf_offset_t position = mInput.tell();
    try {
        mSink.HandleObject(object);
    } catch (const std::exception& failure) {
        mInput.seek(position, SEEK_SET);
        mDamage(failure.what());
    }
    mInput.seek(position, SEEK_SET);
}

void ContentStreamReader::mAppendComposite(const std::string& text)
{
    if (mblnCompositeTooLong || mstrComposite.size() + text.size() > MAX_COMPOSITE_BYTES) {
        mblnCompositeTooLong = true;
        mstrComposite.clear();
        return;
    }
    mstrComposite += text;
}

void ContentStreamReader::mDamage(const std::string& what)
{
    mstrTrouble = what;
    throw StopReading();
}

}  // namespace RawPrintData::Pdf
