#include "PrinterLanguageParser/Parser/postscript/TokenText.h"

#include <algorithm>

namespace RawPrintData::Postscript {

// Makes room for a longer text (the old text is not kept).
void TokenText::mGrow(size_t size)
{
    const size_t capacity = std::max(size, 2 * mintCapacity);
    mbytLong = std::make_unique<char[]>(capacity);
    mintCapacity = capacity;
}

}  // namespace RawPrintData::Postscript
