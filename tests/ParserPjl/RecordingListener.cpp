#include "tests/ParserPjl/RecordingListener.h"

#include "PrinterLanguageParser/Parser/PaperName.h"

#include <algorithm>
#include <cstring>

using namespace RawPrintData;

namespace ParserPjlTests {

// Writes the page down.
void RecordingListener::OnPageCompleted(const CRawPage& page)
{
    std::string text = "page " + std::to_string(page.mintWidth) + "x" + std::to_string(page.mintHeight);
    if (!page.GetName().empty())
        text += " " + std::string(page.GetName());
    mvecEvents.push_back(text + (page.mblnColor ? " color" : " mono"));
}

// Writes the property and its value down.
void RecordingListener::OnJobPropertyChanged(RawDataJobProperty property, const void* value)
{
    switch (property) {
    case PROPERTY_DUPLEX:
        mvecEvents.push_back("duplex " + std::to_string(*static_cast<const bool*>(value)));
        break;
    case PROPERTY_COPIES: {
        const unsigned long copies = *static_cast<const unsigned long*>(value);
        mintCopies = std::max(mintCopies, copies);
        mvecEvents.push_back("copies " + std::to_string(copies));
        break;
    }
    case PROPERTY_COLOR_TYPE:
        mvecEvents.push_back("color " + std::to_string(*static_cast<const RawColorType*>(value)));
        break;
    case PROPERTY_DEFAULT_ORIENTATION:
        mvecEvents.push_back("orientation " + std::to_string(*static_cast<const RawPaperOrientation*>(value)));
        break;
    case PROPERTY_DEFAULT_PAGE_SIZE: {
        const char* name = static_cast<const char*>(value);
        mvecEvents.push_back("paper " + std::string(name, strnlen(name, PAPER_NAME_LENGTH)));
        break;
    }
    case PROPERTY_DEFAULT_PAGE_WIDTH:
        mvecEvents.push_back("width " + std::to_string(*static_cast<const int*>(value)));
        break;
    case PROPERTY_DEFAULT_PAGE_HEIGHT:
        mvecEvents.push_back("height " + std::to_string(*static_cast<const int*>(value)));
        break;
    }
}

// Writes the switch down; "literal" marks the two-argument form with true.
void RecordingListener::OnNextLanguage(RawLanguageType language, bool literalTarget)
{
    mvecEvents.push_back("language " + std::to_string(language) + (literalTarget ? " literal" : ""));
}

// Writes the override down.
void RecordingListener::OnPageCountOverride(unsigned long pages)
{
    mvecEvents.push_back("override " + std::to_string(pages));
}

}  // namespace ParserPjlTests
