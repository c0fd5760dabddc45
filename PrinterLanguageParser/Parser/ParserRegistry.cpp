#include "PrinterLanguageParser/Parser/ParserRegistry.h"

#include "PrinterLanguageParser/Parser/IgnoredLanguageParser.h"
#include "PrinterLanguageParser/Parser/LanguageDetector.h"
#include "PrinterLanguageParser/Parser/LanguageSignatures.h"
// Language parsers: each folder's include goes on the line below its name.
// postscript/
#include "PrinterLanguageParser/Parser/postscript/EncapsulatedPostscriptParser.h"

// pcl5/

// pcl6/

// pjl/
#include "PrinterLanguageParser/Parser/pjl/PJLParser.h"
// escp/

// hpgl/
#include "PrinterLanguageParser/Parser/hpgl/HPGLParser.h"
// cgm/
#include "PrinterLanguageParser/Parser/cgm/CGMParser.h"
// cpca/
#include "PrinterLanguageParser/Parser/cpca/CPCAParser.h"
// prescribe/
#include "PrinterLanguageParser/Parser/prescribe/PrescribeParser.h"
namespace RawPrintData {

namespace {

// Makes a parser that takes no argument.
template <typename Parser>
std::unique_ptr<IRawDataParser> Make()
{
    return std::make_unique<Parser>();
}

// Makes the skipping parser for a language that ends with a trailer.
template <const std::string_view& Trailer>
std::unique_ptr<IRawDataParser> MakeSkippedUntil()
{
    return std::make_unique<IgnoredLanguageParser>(Trailer);
}

using FactoryFunction = std::unique_ptr<IRawDataParser> (*)();

// Registering a language parser: include its header above, under its folder's
// name, and put its factory in its language's row below, for example
//     &Make<PCL5::PCL5Parser>,
// One row per RawLanguageType, in value order. A null row means the language
// has no parser: a job that reaches it stops with PARSE_RESULT_FAILURE (no
// current parser). The handler creates a language's parser the first time the
// language becomes current and adds itself as its listener.

constexpr std::array<FactoryFunction, RAW_LANGUAGE_COUNT> BuiltInParsers = {
    // 0 LANGUAGE_UNKNOWN
    &Make<LanguageDetector>,
    // 1 LANGUAGE_POSTSCRIPT: Postscript::PostscriptParser
    &Make<Postscript::PostscriptParser>,
    // 2 LANGUAGE_PCL5: PCL5::PCL5Parser
    nullptr,
    // 3 LANGUAGE_PCL6: PCL6::PCL6Parser
    nullptr,
    // 4 LANGUAGE_PJL: PJL::PJLParser
    &Make<PJL::PJLParser>,
    // 5 LANGUAGE_HPGL: HPGL::HPGLParser
    &Make<HPGL::HPGLParser>,
    // 6 LANGUAGE_CALCOMP_DCL
    &MakeSkippedUntil<LANGUAGE_TRAILER_CALCOMP_DCL>,
    // 7 LANGUAGE_CALCOMP_DATA: skipped to the end of the job
    &Make<IgnoredLanguageParser>,
    // 8 LANGUAGE_CGM: CGM::CGMParser
    &Make<CGM::CGMParser>,
    // 9 LANGUAGE_OCE_JOB
    &MakeSkippedUntil<LANGUAGE_TRAILER_OCE_JOB>,
    // 10 LANGUAGE_EPS: Postscript::EncapsulatedPostscriptParser
    &Make<Postscript::EncapsulatedPostscriptParser>,
    // 11 LANGUAGE_CPCA: CPCA::CPCAParser
    &Make<CPCA::CPCAParser>,
    // 12 LANGUAGE_ESCPAGE: ESCP::ESCPParser
    nullptr,
    // 13 LANGUAGE_ESCP2: ESCP::ESCPParser
    nullptr,
    // 14 LANGUAGE_ESCP_BONJOUR: ESCP::ESCPParser
    nullptr,
    // 15 LANGUAGE_PRESCRIBE: Prescribe::PrescribeParser
    &Make<Prescribe::PrescribeParser>,
};

}  // namespace

// The registry of the library's parsers, made once.
const ParserRegistry& ParserRegistry::BuiltIn()
{
    static const ParserRegistry registry = [] {
        ParserRegistry builtIn;
        for (size_t language = 0; language < RAW_LANGUAGE_COUNT; ++language) {
            if (BuiltInParsers[language] != nullptr)
                builtIn.mvecFactories[language] = BuiltInParsers[language];
        }
        return builtIn;
    }();
    return registry;
}

// Sets one language's factory.
bool ParserRegistry::Register(RawLanguageType language, Factory factory)
{
    if (!IsKnownLanguage(language))
        return false;
    mvecFactories[static_cast<size_t>(language)] = std::move(factory);
    return true;
}

// Whether the language has a parser.
bool ParserRegistry::HasParser(RawLanguageType language) const
{
    return IsKnownLanguage(language) && static_cast<bool>(mvecFactories[static_cast<size_t>(language)]);
}

// Creates the language's parser.
std::unique_ptr<IRawDataParser> ParserRegistry::Create(RawLanguageType language) const
{
    if (!HasParser(language))
        return nullptr;
    return mvecFactories[static_cast<size_t>(language)]();
}

}  // namespace RawPrintData
