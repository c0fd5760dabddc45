#pragma once

#include "PrinterLanguageParser/Parser/CRawPageSet.h"
#include "PrinterLanguageParser/Parser/DataBuffer.h"
#include "PrinterLanguageParser/Parser/ILogger.h"
#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/IRawDataParserListener.h"
#include "PrinterLanguageParser/Parser/ParseDataResultType.h"
#include "PrinterLanguageParser/Parser/ParserRegistry.h"
#include "PrinterLanguageParser/Parser/RawJobTypes.h"
#include "PrinterLanguageParser/Parser/RawLanguageType.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace RawPrintData {

// The analysis of one print job: fed the job's bytes in chunks of any size, it
// detects the language, runs one parser per language (created on first use),
// follows switches between languages, and gathers page sets, copies, duplex
// and colour type. Used on one thread.
class CRawDataHandler final : public IRawDataParserListener {
public:
    // language 0 detects the language from the data.
    explicit CRawDataHandler(RawLanguageType language = LANGUAGE_UNKNOWN);
    // As above with the parsers of the given registry (copied).
    CRawDataHandler(RawLanguageType language, const ParserRegistry& registry);
    ~CRawDataHandler() override;
    CRawDataHandler(const CRawDataHandler&) = delete;
    CRawDataHandler& operator=(const CRawDataHandler&) = delete;

    // Starts a new job on this object: parsers dropped, results cleared.
    void Reset(RawLanguageType language);

    // One chunk of the job; the chunk need only stay valid for the call.
    ParseDataResultType ParseData(const unsigned char* data, unsigned long length);

    // Ends the job; the results below are then complete.
    ParseDataResultType ParseDone();

    // In the order opened, the default set last when it holds pages.
    const std::vector<CRawPageSet>& GetPageSets() const { return mvecPageSets; }
    // The page total; fills whichever of mono and color is given.
    int GetTotalPageCount(int* mono = nullptr, int* color = nullptr) const;
    RawColorType GetColorType() const { return mintColorType; }
    bool IsDuplex() const { return mblnDuplex; }
    unsigned long GetCopies() const override { return mintCopies; }
    uint64_t GetTotalBytesParsed() const { return mintTotalBytes; }

    // Set by the program that feeds the job when the whole job was parsed
    // without a failure; the handler never changes it itself.
    bool IsParseSucceeded() const { return mblnParseSucceeded; }
    void SetParseSucceeded(bool succeeded) { mblnParseSucceeded = succeeded; }

    // The whole job's bytes as the feeding program keeps them (not owned; they
    // must stay readable until ParseDone). PDF and raster jobs are read from
    // them at the end; without them such a job fails to parse.
    void SetJobBytes(const IJobBytes* bytes) { mJobBytes = bytes; }
    const IJobBytes* GetJobBytes() const override { return mJobBytes; }

    // Whether the whole job was read: false once a parser gave up on it (a
    // negative result of ParseData or ParseDone), when its page sets hold
    // only the pages read before. A job that was read whole and holds no
    // page is counted, with no page.
    bool IsCounted() const { return mblnCounted; }
    // Why the job could not be counted: the error line the parser logged
    // when it gave up (or, without one, the language and the result); empty
    // while the job is counted.
    const std::string& GetProblem() const { return mstrProblem; }
    // The language that gave up, and the pages counted when it did.
    RawLanguageType GetProblemLanguage() const { return mintProblemLanguage; }
    int GetPagesBeforeProblem() const { return mintPagesBeforeProblem; }

    // An optional sink for log lines and raw chunks; not owned.
    void SetLogger(ILogger* logger) { mLogger = logger; }

    RawLanguageType GetCurrentLanguage() const { return mintCurrentLanguage; }
    RawLanguageType GetPreviousLanguage() const { return mintPreviousLanguage; }

    // IRawDataParserListener
    void LogMessage(LogLevel level, const char* text) override;
    void OnPageCompleted(const CRawPage& page) override;
    void OnJobPropertyChanged(RawDataJobProperty property, const void* value) override;
    void OnNextLanguage(RawLanguageType language, bool literalTarget) override;
    void OnPageCountOverride(unsigned long pages) override;
    void OnDataNotCounted(const char* reason) override;

private:
    void mSetParser(RawLanguageType language);
    ParseDataResultType mRunParsers(uint64_t& keepFrom);
    bool mKeepTail(uint64_t keepFrom);
    CRawPageSet& mPageSetFor(const CRawPage& page);
    void mSetCopies(unsigned long copies);
    void mKeepLargerDimension(int32_t& dimension, int value, const char* name, const char* lowerName);
    void mNoteResult(ParseDataResultType result);
    void mNoteNotCounted(const std::string& reason);

    ILogger* mLogger = nullptr;
    const IJobBytes* mJobBytes = nullptr;
    IRawDataParser* mCurrentParser = nullptr;
    std::array<std::unique_ptr<IRawDataParser>, RAW_LANGUAGE_COUNT> mvecParsers;
    RawLanguageType mintCurrentLanguage;
    RawLanguageType mintPreviousLanguage;
    RawColorType mintColorType = COLOR_TYPE_UNKNOWN;
    unsigned long mintCopies = 1;
    bool mblnDuplex = false;
    std::vector<CRawPageSet> mvecPageSets;
    CRawPageSet mDefaultPageSet;
    DataBuffer mBuffer;
    bool mblnDone = true;
    bool mblnParseSucceeded = false;
    uint64_t mintTotalBytes = 0;
    bool mblnCounted = true;
    std::string mstrProblem;
    std::string mstrLastError;  // the last error line of the call under way
    RawLanguageType mintProblemLanguage = LANGUAGE_UNKNOWN;
    int mintPagesBeforeProblem = 0;
    ParserRegistry mRegistry;
};

}  // namespace RawPrintData
