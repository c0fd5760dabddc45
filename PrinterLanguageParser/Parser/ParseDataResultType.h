#pragma once

#include <cstdint>

namespace RawPrintData {

// The result of every ParseData and ParseDone. The frame treats 0 and 1 alike
// (the unconsumed tail is kept either way); negative values are failures.
enum ParseDataResultType : int32_t {
    PARSE_RESULT_HANDLED = 0,
    PARSE_RESULT_NEED_MORE_DATA = 1,
    // The parser has announced the next language and set its bytes processed
    // to where that language's data begins.
    PARSE_RESULT_SWITCH_LANGUAGE = 3,
    // The detector found no language, or a parser's own failure.
    PARSE_RESULT_DETECTION_FAILED = -1,
    // A token left unfinished at the end of the data.
    PARSE_RESULT_UNFINISHED_TOKEN = -2,
    // No current parser, the kept tail could not be stored, or input that a
    // parser cannot read.
    PARSE_RESULT_FAILURE = -3,
};

}  // namespace RawPrintData
