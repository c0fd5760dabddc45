#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/WorkBudget.h"

#include <qpdf/InputSource.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <cstddef>
#include <string>

namespace RawPrintData::Pdf {

// What a content stream's reader hands on: operands, then their operator.
class ContentSink {
public:
    virtual ~ContentSink() = default;
    // An operand (number, name, string, array, dictionary) or an operator.
    // An inline image is handed as BI, its dictionary's entries, ID, its
    // samples as an inline image object (left out when there are more than
    // MAX_INLINE_IMAGE_BYTES) and EI.
    virtual void HandleObject(QPDFObjectHandle object) = 0;
    // Whether the sink has seen enough: the rest of the stream is not read.
    virtual bool Finished() const = 0;
};

// Reads content streams as qpdf decodes them, piece by piece, holding one
// token at a time: a stream of any size costs the same memory. Every decoded
// byte is taken from the job's work budget. An array, dictionary or string
// longer than MAX_COMPOSITE_BYTES (qpdf would make an object of each of an
// array's numbers) is read past and handed on as null: no operator that sets
// or paints colour takes one that long but the text operators, which then
// count text of that length. A word longer than MAX_WORD_BYTES is damage.
// qpdf's own content parser reads a stream whole into memory first, so it is
// not used for content. The sink may read other streams and objects of the
// document while this one is being decoded: qpdf reads a stream's data from
// the document's input source in pieces without seeking back, so the
// source's position is kept across each object handed to the sink.
class ContentStreamReader final : public Pipeline {
public:
    static constexpr size_t MAX_COMPOSITE_BYTES = 64 * 1024;
    static constexpr size_t MAX_WORD_BYTES = 4096;
    static constexpr size_t MAX_INLINE_IMAGE_BYTES = 1024 * 1024;

    ContentStreamReader(ContentSink& sink, WorkBudget& budget, InputSource& input);

    void write(unsigned char const* data, size_t length) override;
    // The end of one stream of several: it ends the token being read.
    void finish() override;

    // Why reading stopped short, empty when it did not: the budget ran out,
    // or the content is damaged.
    const std::string& Trouble() const { return mstrTrouble; }

private:
    enum class State { Between, Comment, Word, LiteralString, HexString, AfterLess, AfterGreater, InlineImage };

    void mByte(unsigned char byte);
    void mEndWord();
    void mEndInlineImage();
    void mKeepStringByte(unsigned char byte);
    void mAppendString(unsigned char byte);
    void mEmitString();
    void mEmitWord(const std::string& word);
    void mOpen(const char* text);
    void mClose(const char* text);
    void mEmit(QPDFObjectHandle object);
    void mAppendComposite(const std::string& text);
    void mDamage(const std::string& what);

    ContentSink& mSink;
    WorkBudget& mBudget;
    InputSource& mInput;
    State meState = State::Between;
    std::string mstrWord;
    std::string mstrComposite;  // the text of the array or dictionary being read
    bool mblnCompositeTooLong = false;
    int mintCompositeDepth = 0;
    int mintStringDepth = 0;
    bool mblnEscape = false;
    int mintImageMatch = 0;  // how much of whitespace, "E", "I" ends an inline image
    std::string mstrString;  // a string outside arrays and dictionaries, as written
    bool mblnStringTooLong = false;
    std::string mstrImage;   // an inline image's samples as they come
    bool mblnImageTooLarge = false;
    std::string mstrTrouble;
};

}  // namespace RawPrintData::Pdf
