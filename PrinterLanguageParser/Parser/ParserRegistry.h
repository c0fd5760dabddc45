#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/RawLanguageType.h"

#include <array>
#include <functional>
#include <memory>

namespace RawPrintData {

// Which parser object a handler creates for each language. BuiltIn() holds
// the library's own parsers (its table is in ParserRegistry.cpp); a copy may
// be changed with Register, for example by a test that plugs in a parser of
// its own, and given to a CRawDataHandler.
class ParserRegistry {
public:
    using Factory = std::function<std::unique_ptr<IRawDataParser>()>;

    // No language has a parser.
    ParserRegistry() = default;

    // The library's parsers.
    static const ParserRegistry& BuiltIn();

    // Sets the factory of one language (an empty factory removes its parser);
    // false for a number that is no language.
    bool Register(RawLanguageType language, Factory factory);

    bool HasParser(RawLanguageType language) const;

    // A new parser for the language, or null when it has none.
    std::unique_ptr<IRawDataParser> Create(RawLanguageType language) const;

private:
    std::array<Factory, RAW_LANGUAGE_COUNT> mvecFactories;
};

}  // namespace RawPrintData
