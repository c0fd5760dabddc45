#pragma once

#include "PrinterLanguageParser/Parser/DataBuffer.h"
#include "PrinterLanguageParser/Parser/ParseDataResultType.h"
#include "PrinterLanguageParser/Parser/postscript/DscLineWatcher.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace RawPrintData::Postscript {

// A byte-scanning counter that serves as the PostScript parser's fallback:
// the range of "%%Page:" ordinals and the "/#copies n def" count. It needs no
// tokenizer, so it also works through data the tokenizer cannot read, and a
// line that begins a page counts inside strings and base-85 data too. Its
// state carries over from call to call, so how a job is cut never changes
// what it finds.
class BasicPostscriptParser {
public:
    // Strings longer than this are taken as binary data that happened to
    // hold a "(": the counter leaves them, so that unbalanced brackets in
    // image data do not hide the page comments after it.
    static constexpr uint64_t mintMAX_STRING_BYTES = 64 * 1024;

    // Scans the buffer's logical bytes from first up to (not including) last.
    ParseDataResultType ParseData(const DataBuffer& buffer, uint64_t first = 0, uint64_t last = UINT64_MAX);
    ParseDataResultType ParseDone() { return PARSE_RESULT_HANDLED; }

    // Highest ordinal - lowest ordinal + 1, or 0 when none was seen.
    uint32_t GetPostscriptPages() const;
    // 0 when never set.
    uint32_t GetPostscriptCopies() const { return mintCopies; }

private:
    enum TokenKind { KIND_NONE, KIND_COMMENT, KIND_NAME, KIND_AFTER_LESS, KIND_AFTER_TILDE, KIND_COPIES, KIND_AFTER_COPIES };

    void mScan(std::span<const unsigned char> bytes);
    size_t mScanPlain(const unsigned char* data, size_t index, size_t length);
    static size_t mNameEnd(const unsigned char* data, size_t index, size_t length);
    static size_t mCommentEnd(const unsigned char* data, size_t index, size_t length);
    size_t mSkip(const unsigned char* data, size_t index, size_t length);
    size_t mTakeComment(const unsigned char* data, size_t length);
    size_t mTakeName(const unsigned char* data, size_t length);
    void mStartCopies();
    bool mAppendRun(const unsigned char* data, size_t length, size_t& taken);
    // Takes one byte; false when the byte must be examined again.
    bool mProcessToken(unsigned char byte);
    void mProcessPlain(unsigned char byte);
    bool mblnDscCommentStarts(unsigned char byte);
    void mCountPageComment(std::string_view comment);
    bool mAppend(unsigned char byte);
    std::string_view mToken() const { return std::string_view(mbytToken.data(), mintTokenLength); }

    int32_t mintStringDepth = 0;
    uint64_t mintStringBytes = 0;
    bool mblnEscape = false;
    bool mblnInBase85 = false;
    DscLineWatcher mLineWatcher;
    std::array<char, 256> mbytToken{};
    size_t mintTokenLength = 0;
    TokenKind mintKind = KIND_NONE;
    uint64_t mintCopiesNumber = 0;
    bool mblnCopiesDigits = false;
    uint32_t mintCopies = 0;
    uint32_t mintLowestPage = 0;
    uint32_t mintHighestPage = 0;
};

}  // namespace RawPrintData::Postscript
