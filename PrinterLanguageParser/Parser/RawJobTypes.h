#pragma once

#include <cstdint>

namespace RawPrintData {

// The colour kind of a job. The handler keeps the highest value reported, so a
// grayscale request outranks colour found in the content; ParseDone turns
// grayscale into mono, so callers only see 0, 1 or 2.
enum RawColorType : int32_t {
    COLOR_TYPE_UNKNOWN = 0,
    COLOR_TYPE_MONO = 1,
    COLOR_TYPE_COLOR = 2,
    COLOR_TYPE_GRAYSCALE = 3,
};

enum RawPaperOrientation : int32_t {
    ORIENTATION_PORTRAIT = 0,
    ORIENTATION_LANDSCAPE = 1,
};

// A job property a parser reports, with the type of the value passed by
// address to NotifyJobPropertyChanged:
//   PROPERTY_DUPLEX               bool
//   PROPERTY_COPIES               unsigned long
//   PROPERTY_COLOR_TYPE           RawColorType
//   PROPERTY_DEFAULT_ORIENTATION  RawPaperOrientation
//   PROPERTY_DEFAULT_PAGE_SIZE    char (the first of at most 256 characters,
//                                 NUL-terminated when shorter)
//   PROPERTY_DEFAULT_PAGE_WIDTH   int (tenths of a millimetre)
//   PROPERTY_DEFAULT_PAGE_HEIGHT  int (tenths of a millimetre)
enum RawDataJobProperty : int32_t {
    PROPERTY_DUPLEX = 0,
    PROPERTY_COPIES = 1,
    PROPERTY_COLOR_TYPE = 2,
    PROPERTY_DEFAULT_ORIENTATION = 3,
    PROPERTY_DEFAULT_PAGE_SIZE = 4,
    PROPERTY_DEFAULT_PAGE_WIDTH = 5,
    PROPERTY_DEFAULT_PAGE_HEIGHT = 6,
};

}  // namespace RawPrintData
