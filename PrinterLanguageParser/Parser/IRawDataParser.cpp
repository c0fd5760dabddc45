#include "PrinterLanguageParser/Parser/IRawDataParser.h"

#include "PrinterLanguageParser/Parser/ParserLimits.h"
#include "PrinterLanguageParser/Parser/postscript/DscComment.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptRequirements.h"

#include <algorithm>
#include <limits>

namespace RawPrintData {

// Forwards a log line to every listener.
void IRawDataParser::LogMessage(LogLevel level, const char* text)
{
    for (IRawDataParserListener* listener : mvecListeners)
        listener->LogMessage(level, text);
}

// Adds a listener once.
void IRawDataParser::AddListener(IRawDataParserListener* listener)
{
    if (listener != nullptr && std::find(mvecListeners.begin(), mvecListeners.end(), listener) == mvecListeners.end())
        mvecListeners.push_back(listener);
}

// Removes a listener.
void IRawDataParser::RemoveListener(IRawDataParserListener* listener)
{
    std::erase(mvecListeners, listener);
}

// Reports a finished page.
void IRawDataParser::NotifyPageCompleted(const CRawPage& page)
{
    for (IRawDataParserListener* listener : mvecListeners)
        listener->OnPageCompleted(page);
}

// Reports a job property.
void IRawDataParser::NotifyJobPropertyChanged(RawDataJobProperty property, const void* value)
{
    for (IRawDataParserListener* listener : mvecListeners)
        listener->OnJobPropertyChanged(property, value);
}

// Announces the next language, 0 meaning back to the previous one.
void IRawDataParser::NotifyNextLanguage(RawLanguageType language)
{
    NotifyNextLanguage(language, false);
}

// Announces the next language.
void IRawDataParser::NotifyNextLanguage(RawLanguageType language, bool literalTarget)
{
    for (IRawDataParserListener* listener : mvecListeners)
        listener->OnNextLanguage(language, literalTarget);
}

// Reports the job's page total.
void IRawDataParser::NotifyPageCountOverride(unsigned long pages)
{
    for (IRawDataParserListener* listener : mvecListeners)
        listener->OnPageCountOverride(pages);
}

void IRawDataParser::NotifyDataNotCounted(const char* reason)
{
    Log(LOG_ERROR, "%s", reason);
    for (IRawDataParserListener* listener : mvecListeners)
        listener->OnDataNotCounted(reason);
}

// Adds copies on top of each listener's count; the sum saturates.
void IRawDataParser::AddCopies(unsigned long count)
{
    // A count from printer data that was negative arrives as a huge number.
    // A positive one beyond what a printer accepts is cut first: added to the
    // current count it would otherwise look negative and be ignored.
    if (count == 0 || count > static_cast<unsigned long>(std::numeric_limits<long>::max()))
        return;
    count = std::min<unsigned long>(count, MAX_COPIES);
    for (IRawDataParserListener* listener : mvecListeners) {
        const unsigned long current = listener->GetCopies();
        const unsigned long copies = current > std::numeric_limits<unsigned long>::max() - count
                                         ? std::numeric_limits<unsigned long>::max()
                                         : current + count;
        listener->OnJobPropertyChanged(PROPERTY_COPIES, &copies);
    }
}

// Turns a %%Requirements: record into job properties.
void IRawDataParser::HandleDscRequirements(const Postscript::PostscriptRequirements* requirements)
{
    if (requirements == nullptr)
        return;
    const unsigned long copies = requirements->mintCopies.GetValue();
    if (copies != 0)
        NotifyJobPropertyChanged(PROPERTY_COPIES, &copies);
    if (requirements->mblnDuplex) {
        const bool duplex = true;
        NotifyJobPropertyChanged(PROPERTY_DUPLEX, &duplex);
    }
    if (requirements->mblnColor) {
        const RawColorType color = COLOR_TYPE_COLOR;
        NotifyJobPropertyChanged(PROPERTY_COLOR_TYPE, &color);
    }
}

// Reads a requirements comment line and handles it.
void IRawDataParser::HandleDscRequirementsComment(std::string_view line)
{
    if (!line.starts_with("%%"))
        return;
    const Postscript::DscComment comment(line);
    if (comment.Keyword() != "Requirements")
        return;
    const Postscript::PostscriptRequirements requirements(comment);
    HandleDscRequirements(&requirements);
}

}  // namespace RawPrintData
