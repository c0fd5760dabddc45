#pragma once

#include "PrinterLanguageParser/Parser/CRawPage.h"
#include "PrinterLanguageParser/Parser/IAbstractLogger.h"
#include "PrinterLanguageParser/Parser/JobBytes.h"
#include "PrinterLanguageParser/Parser/RawJobTypes.h"
#include "PrinterLanguageParser/Parser/RawLanguageType.h"

namespace RawPrintData {

// What a parser reports to. Its one implementation is CRawDataHandler.
class IRawDataParserListener : public IAbstractLogger {
public:
    virtual void OnPageCompleted(const CRawPage& page) = 0;

    // value points at the property's type (see RawDataJobProperty).
    virtual void OnJobPropertyChanged(RawDataJobProperty property, const void* value) = 0;

    // Makes another language current. literalTarget false with language 0
    // returns to the language the last switch came from; otherwise the
    // language is taken as given (0 is the detector).
    virtual void OnNextLanguage(RawLanguageType language, bool literalTarget) = 0;

    // The job's page total, known better than its page-by-page count.
    virtual void OnPageCountOverride(unsigned long pages) = 0;

    virtual unsigned long GetCopies() const = 0;

    // Data the parser passes over without counting its pages (a language it
    // does not read): the job is no longer counted whole, although reading
    // goes on. reason is the error line the parser logged.
    virtual void OnDataNotCounted(const char*) {}

    // The whole job's bytes, for the formats read once the job is complete;
    // null when the feeding program gave none.
    virtual const IJobBytes* GetJobBytes() const { return nullptr; }
};

}  // namespace RawPrintData
