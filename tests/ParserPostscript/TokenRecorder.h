#pragma once

#include "PrinterLanguageParser/Parser/DataBuffer.h"
#include "PrinterLanguageParser/Parser/postscript/ITokenListener.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptTokenizer.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace PostscriptTestSupport {

using RawPrintData::Postscript::PostscriptToken;
using RawPrintData::Postscript::PostscriptTokenType;
using RawPrintData::Postscript::PostscriptTokenView;

// Keeps every token a tokenizer signals; optionally stops at one name.
class TokenRecorder : public RawPrintData::Postscript::ITokenListener {
public:
    bool TokenScanned(const PostscriptTokenView& token) override
    {
        mvecTokens.emplace_back(token);
        return token.Data() != mstrStopAt;
    }

    std::vector<std::pair<PostscriptTokenType, std::string>> Summary() const
    {
        std::vector<std::pair<PostscriptTokenType, std::string>> summary;
        for (const PostscriptToken& token : mvecTokens)
            summary.emplace_back(token.Type(), token.Data());
        return summary;
    }

    std::vector<PostscriptToken> mvecTokens;
    std::string mstrStopAt = "\x01never";
};

// Feeds a job to a tokenizer in chunks the way the frame does: the bytes the
// tokenizer leaves unprocessed come back in front of the next chunk. Returns
// the last result and the flushed tokens.
inline RawPrintData::ParseDataResultType TokenizeInChunks(RawPrintData::Postscript::PostscriptTokenizer& tokenizer,
                                                          std::string_view job, size_t chunkSize, bool flush = true)
{
    RawPrintData::DataBuffer buffer;
    RawPrintData::ParseDataResultType result = RawPrintData::PARSE_RESULT_HANDLED;
    for (size_t offset = 0; offset < job.size(); offset += chunkSize) {
        const std::string_view chunk = job.substr(offset, chunkSize);
        buffer.SetMainBuffer(reinterpret_cast<const unsigned char*>(chunk.data()), chunk.size());
        result = tokenizer.Tokenize(buffer);
        if (result < 0 || result == RawPrintData::PARSE_RESULT_SWITCH_LANGUAGE)
            return result;
        buffer.CopyFromMainIntoPrebuffer(tokenizer.BytesProcessed());
    }
    if (flush)
        result = tokenizer.Flush();
    return result;
}

}  // namespace PostscriptTestSupport
