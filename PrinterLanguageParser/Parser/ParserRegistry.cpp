#include "PrinterLanguageParser/Parser/ParserRegistry.h"

#include "PrinterLanguageParser/Parser/IgnoredLanguageParser.h"
#include "PrinterLanguageParser/Parser/LanguageDetector.h"
#include "PrinterLanguageParser/Parser/LanguageSignatures.h"
// Language parsers: each folder's include goes on the line below its name.
// postscript/
#include "PrinterLanguageParser/Parser/postscript/EncapsulatedPostscriptParser.h"

// pcl5/
#include "PrinterLanguageParser/Parser/pcl5/PCL5Parser.h"

// pcl6/
#include "PrinterLanguageParser/Parser/pcl6/PCL6Parser.h"

// pjl/
#include "PrinterLanguageParser/Parser/pjl/PJLParser.h"
// escp/
#include "PrinterLanguageParser/Parser/escp/ESCPParser.h"

// hpgl/
#include "PrinterLanguageParser/Parser/hpgl/HPGLParser.h"
// cgm/
#include "PrinterLanguageParser/Parser/cgm/CGMParser.h"
// cpca/
#include "PrinterLanguageParser/Parser/cpca/CPCAParser.h"
// prescribe/
#include "PrinterLanguageParser/Parser/prescribe/PrescribeParser.h"
// pdf/
#include "PrinterLanguageParser/Parser/pdf/PdfParser.h"
// raster/
#include "PrinterLanguageParser/Parser/raster/RasterParser.h"
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

// Makes the raster reader of the format with the signature.
template <const std::string_view& Signature>
std::unique_ptr<IRawDataParser> MakeRaster()
{
    return std::make_unique<Raster::RasterParser>(Signature);
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
    &Make<PCL5::PCL5Parser>,
    // 3 LANGUAGE_PCL6: PCL6::PCL6Parser
    &Make<PCL6::PCL6Parser>,
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
    &Make<ESCP::ESCPParser>,
    // 13 LANGUAGE_ESCP2: ESCP::ESCPParser
    &Make<ESCP::ESCPParser>,
    // 14 LANGUAGE_ESCP_BONJOUR: ESCP::ESCPParser
    &Make<ESCP::ESCPParser>,
    // 15 LANGUAGE_PRESCRIBE: Prescribe::PrescribeParser
    &Make<Prescribe::PrescribeParser>,
    // 16 LANGUAGE_PDF: Pdf::PdfParser (PDF and PCLm)
    &Make<Pdf::PdfParser>,
    // 17 LANGUAGE_PWG_RASTER: Raster::RasterParser
    &MakeRaster<LANGUAGE_HEADER_PWG_RASTER>,
    // 18 LANGUAGE_APPLE_RASTER: Raster::RasterParser
    &MakeRaster<LANGUAGE_HEADER_APPLE_RASTER>,
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
