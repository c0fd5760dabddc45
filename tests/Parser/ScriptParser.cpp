#include "tests/Parser/ScriptParser.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <string>
#include <vector>

using namespace RawPrintData;

namespace ParserTestSupport {

namespace {

// Splits a line at single blanks.
std::vector<std::string_view> SplitWords(std::string_view line)
{
    std::vector<std::string_view> words;
    size_t start = 0;
    while (start <= line.size()) {
        const size_t end = std::min(line.find(' ', start), line.size());
        words.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// The word as a signed number, 0 when it is none.
long long ToNumber(std::string_view word)
{
    long long value = 0;
    std::from_chars(word.data(), word.data() + word.size(), value);
    return value;
}

// The language a word names.
RawLanguageType Language(std::string_view word)
{
    return static_cast<RawLanguageType>(ToNumber(word));
}

}  // namespace

// Runs every complete line; stops at a switch or a failure.
ParseDataResultType ScriptParser::ParseData(const DataBuffer& buffer)
{
    const uint64_t total = buffer.Length();
    uint64_t position = 0;
    // A cut line left last time is not searched again: the buffer starts with it.
    const uint64_t searched = mintSearchedTail;
    mintSearchedTail = 0;
    ParseDataResultType result = PARSE_RESULT_HANDLED;
    while (position < total) {
        const uint64_t newline = buffer.Find("\n", std::max(position, searched));
        if (newline == DataBuffer::npos) {
            mintSearchedTail = total - position;
            break;
        }
        std::string line;
        for (uint64_t index = position; index < newline; ++index)
            line.push_back(static_cast<char>(buffer[index]));
        ++mintLinesSeen;
        if (!mRunLine(line, position, newline + 1, total, result))
            return result;
        position = newline + 1;
    }
    mintBytesProcessed = position;
    return result;
}

// Runs one command line.
bool ScriptParser::mRunLine(std::string_view line, uint64_t lineStart, uint64_t lineEnd, uint64_t total,
                            ParseDataResultType& result)
{
    const std::vector<std::string_view> words = SplitWords(line);
    const std::string_view command = words[0];
    auto word = [&words](size_t index) { return index < words.size() ? words[index] : std::string_view(); };

    if (command == "P") {
        CRawPage page;
        page.SetName(word(1) == "-" ? std::string_view() : word(1));
        page.mintWidth = static_cast<int32_t>(ToNumber(word(2)));
        page.mintHeight = static_cast<int32_t>(ToNumber(word(3)));
        page.mblnColor = word(4) == "c";
        NotifyPageCompleted(page);
    } else if (command == "N") {
        CRawPage page;
        page.mblnColor = word(1) == "c";
        NotifyPageCompleted(page);
    } else if (command == "C") {
        const auto copies = static_cast<unsigned long>(ToNumber(word(1)));
        NotifyJobPropertyChanged(PROPERTY_COPIES, &copies);
    } else if (command == "A") {
        AddCopies(static_cast<unsigned long>(ToNumber(word(1))));
    } else if (command == "D") {
        const bool duplex = ToNumber(word(1)) != 0;
        NotifyJobPropertyChanged(PROPERTY_DUPLEX, &duplex);
    } else if (command == "K") {
        const auto color = static_cast<RawColorType>(ToNumber(word(1)));
        NotifyJobPropertyChanged(PROPERTY_COLOR_TYPE, &color);
    } else if (command == "O") {
        const auto orientation = static_cast<RawPaperOrientation>(ToNumber(word(1)));
        NotifyJobPropertyChanged(PROPERTY_DEFAULT_ORIENTATION, &orientation);
    } else if (command == "S") {
        const std::string name(word(1));
        NotifyJobPropertyChanged(PROPERTY_DEFAULT_PAGE_SIZE, name.c_str());
    } else if (command == "W" || command == "H") {
        const int size = static_cast<int>(ToNumber(word(1)));
        NotifyJobPropertyChanged(command == "W" ? PROPERTY_DEFAULT_PAGE_WIDTH : PROPERTY_DEFAULT_PAGE_HEIGHT, &size);
    } else if (command == "T") {
        NotifyPageCountOverride(static_cast<unsigned long>(ToNumber(word(1))));
    } else if (command == "L" || command == "Z") {
        NotifyNextLanguage(Language(word(1)), word(2) == "literal");
        mintBytesProcessed = command == "L" ? lineEnd : lineStart;
        result = PARSE_RESULT_SWITCH_LANGUAGE;
        return false;
    } else if (command == "F") {
        mintBytesProcessed = lineEnd;
        result = PARSE_RESULT_FAILURE;
        return false;
    } else if (command == "B") {
        mintBytesProcessed = total + 5;
        result = PARSE_RESULT_HANDLED;
        return false;
    }
    return true;
}

// A page without a known size.
void ScriptParser::NotifyDefaultPageCompleted()
{
    NotifyPageCompleted(CRawPage());
}

// The library's registry with the script parser for the given languages.
ParserRegistry ScriptRegistry(std::initializer_list<RawLanguageType> languages)
{
    ParserRegistry registry = ParserRegistry::BuiltIn();
    for (RawLanguageType language : languages)
        registry.Register(language, [] { return std::make_unique<ScriptParser>(); });
    return registry;
}

// The script parser for every language with a parser of its own.
ParserRegistry ScriptRegistryForAllLanguages()
{
    return ScriptRegistry({LANGUAGE_POSTSCRIPT, LANGUAGE_PCL5, LANGUAGE_PCL6, LANGUAGE_PJL, LANGUAGE_HPGL, LANGUAGE_CGM,
                           LANGUAGE_EPS, LANGUAGE_CPCA, LANGUAGE_ESCPAGE, LANGUAGE_ESCP2, LANGUAGE_ESCP_BONJOUR,
                           LANGUAGE_PRESCRIBE});
}

}  // namespace ParserTestSupport
