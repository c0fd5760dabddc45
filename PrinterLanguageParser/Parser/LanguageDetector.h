#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParser.h"

#include <array>
#include <string_view>

namespace RawPrintData {

// Finds the language of a job (or of what follows a skipped part) from its
// first bytes, passing over leading NULs, and hands over to that language;
// a job in a language of Debian's drivers that is not read is passed over.
class LanguageDetector final : public IRawDataParser {
public:
    static constexpr size_t mintLANGUAGE_HEADER_COUNT = 21;
    // The signatures, tried in this order at each offset.
    static const std::array<std::string_view, mintLANGUAGE_HEADER_COUNT> mbytLANGUAGE_HEADERS;
    static const std::array<size_t, mintLANGUAGE_HEADER_COUNT> mintLANGUAGE_HEADER_SIZES;
    static const std::array<RawLanguageType, mintLANGUAGE_HEADER_COUNT> mintLANGUAGE_HEADER_TYPES;

    ParseDataResultType ParseData(const DataBuffer& buffer) override;
    ParseDataResultType ParseDone() override;
    void NotifyDefaultPageCompleted() override {}

private:
    // What the bytes at one offset say.
    struct Detection {
        RawLanguageType mintLanguage = LANGUAGE_UNKNOWN;  // 0: nothing detected
        bool mblnNeedMoreData = false;  // a signature that would win may still follow
        bool mblnUnread = false;        // a language that is not read starts here
    };

    Detection mintDetectLanguageHeader(const DataBuffer& buffer, uint64_t offset);

    // The job started with a language that is not read: the rest of it is
    // passed over.
    bool mblnPassingOver = false;
    // Text that began no language is waiting for the first KiB, in which a
    // PDF's signature may still come.
    bool mblnUndecided = false;
    static constexpr uint64_t mintPDF_HEADER_WINDOW = 1024;
};

}  // namespace RawPrintData
