#pragma once

#include <string_view>

namespace RawPrintData::Postscript {

// The PostScript system name table of the binary token encoding (indices 0
// to 225); an index outside the table gives an empty name.
std::string_view SystemName(unsigned index);

}  // namespace RawPrintData::Postscript
