#pragma once

#include "PrinterLanguageParser/Parser/CRawPage.h"
#include "PrinterLanguageParser/Parser/DataBuffer.h"
#include "PrinterLanguageParser/Parser/IAbstractLogger.h"
#include "PrinterLanguageParser/Parser/IRawDataParserListener.h"
#include "PrinterLanguageParser/Parser/ParseDataResultType.h"
#include "PrinterLanguageParser/Parser/RawJobTypes.h"
#include "PrinterLanguageParser/Parser/RawLanguageType.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace RawPrintData {

namespace Postscript {
struct PostscriptRequirements;
}

// The page a language leaves unfinished when the job switches to another
// language that draws on the same sheet: HP-GL/2 entered from PCL 5 draws on
// PCL 5's page, which only PCL 5's form feed or eject ends.
struct PageInProgress {
    CRawPage mPage;
    // Something was drawn on it, so the printer prints it when it is ejected.
    bool mblnMarked = false;
};

// Base of every language parser. What the frame expects of one:
// 1. The handler creates it the first time its language becomes current
//    (through the ParserRegistry) and adds itself as listener. It lives until
//    the handler's Reset, so a language left and re-entered keeps its state.
// 2. ParseData gets all unconsumed data: what it left last time followed by
//    the new chunk. Before returning it sets mintBytesProcessed to the number
//    of bytes, from the start of this buffer, it has finished with; the rest
//    is handed to it again in front of the next chunk. Leaving bytes is how a
//    parser waits for a command cut by the chunk's end, so the result never
//    depends on how the job is cut. At most MAX_KEPT_TAIL_BYTES may be left:
//    longer data (raster, downloads) is skipped with a counter instead.
// 3. To hand over, it calls NotifyNextLanguage, sets mintBytesProcessed to
//    where the other language's data begins and returns
//    PARSE_RESULT_SWITCH_LANGUAGE; the frame calls the new parser with the
//    buffer re-based there, in the same call.
// 4. It reports through the Notify operations, which forward to every
//    listener in the order added.
// 5. ParseDone is called once at the end of the job, on the parser current
//    then; it finishes the last page.
// 6. NotifyDefaultPageCompleted is its end-of-page step (the strategies call
//    it); Reset is its printer-reset step.
// 7. At every switch between two parsers the frame asks the one it leaves for
//    its page in progress (LeaveLanguage) and gives it to the one it enters
//    (EnterLanguage), with the language left. Languages that keep their pages
//    to themselves need neither.
class IRawDataParser : public IAbstractLogger {
public:
    // ESC "%-12345X": leaves any language for PJL.
    static constexpr std::array<unsigned char, 9> mbytUNIVERSAL_EXIT_LANGUAGE = {0x1B, '%', '-', '1', '2',
                                                                                 '3',  '4', '5', 'X'};
    static constexpr std::string_view mstrUNIVERSAL_EXIT_LANGUAGE{"\x1B%-12345X", 9};
    static constexpr uint64_t mintUNIVERSAL_EXIT_LANGUAGE_LENGTH = 9;
    // Three NULs, ESC, 01, "@EJL": starts ESC/Page and ESC/P 2 jobs.
    static constexpr std::array<unsigned char, 9> mbytESCP2_LANGUAGE = {0, 0, 0, 0x1B, 0x01, '@', 'E', 'J', 'L'};
    static constexpr std::string_view mstrESCP2_LANGUAGE{"\0\0\0\x1B\x01@EJL", 9};
    static constexpr uint64_t mintESCP2_LANGUAGE_LENGTH = 9;
    // Length of the CPCA signature, for the PostScript parser's hand-over.
    static constexpr uint64_t mintCPCA_LANGUAGE_LENGTH = 3;

    ~IRawDataParser() override = default;

    // Forwards a log line to every listener.
    void LogMessage(LogLevel level, const char* text) override;

    virtual ParseDataResultType ParseData(const DataBuffer& buffer) = 0;
    virtual ParseDataResultType ParseDone() = 0;

    virtual void AddListener(IRawDataParserListener* listener);
    virtual void RemoveListener(IRawDataParserListener* listener);

    virtual void NotifyPageCompleted(const CRawPage& page);
    // value points at the property's type (see RawDataJobProperty).
    virtual void NotifyJobPropertyChanged(RawDataJobProperty property, const void* value);
    // Same as NotifyNextLanguage(language, false).
    virtual void NotifyNextLanguage(RawLanguageType language);
    virtual void NotifyNextLanguage(RawLanguageType language, bool literalTarget);
    virtual void NotifyPageCountOverride(unsigned long pages);
    // Logs the reason as an error and tells the listeners that data is
    // passed over uncounted (IRawDataParserListener::OnDataNotCounted).
    void NotifyDataNotCounted(const char* reason);
    // Reports each listener's copies plus count (saturating).
    virtual void AddCopies(unsigned long count);
    // The printer-reset step; nothing unless overridden.
    virtual void Reset() {}
    virtual void NotifyDefaultPageCompleted() = 0;
    // Reports copies (when given), duplex (when asked) and colour (when asked).
    virtual void HandleDscRequirements(const Postscript::PostscriptRequirements* requirements);
    // Handles a "%%Requirements:" DSC comment given as text (PJL COMMENT
    // lines carry them); other lines are passed over.
    void HandleDscRequirementsComment(std::string_view line);

    // The job leaves this language: gives up the page in progress that the
    // next language draws on. Nothing by default.
    virtual PageInProgress LeaveLanguage() { return {}; }
    // The job enters this language from another, with that language's page in
    // progress. Ignored by default.
    virtual void EnterLanguage(RawLanguageType /*previous*/, const PageInProgress& /*page*/) {}

    uint64_t BytesProcessed() const { return mintBytesProcessed; }

protected:
    IRawDataParser() = default;

    uint64_t mintBytesProcessed = 0;
    std::vector<IRawDataParserListener*> mvecListeners;
};

}  // namespace RawPrintData
