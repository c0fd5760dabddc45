#pragma once

#include "Core/CVClientCommunication/RawDataJobProperties.h"
#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "hook/ParserErrorLog.h"

#include <cstdint>
#include <span>
#include <string>

// The stage that feeds a job's data to the printer-language parser (language
// detected from the data) and, at the end, turns what it found into the
// job's properties for the page-set message.
class PageSetParser {
public:
    PageSetParser();

    // Parses one piece; false once the parser has failed on the data.
    bool Write(std::span<const unsigned char> piece);

    // At the end of the data: the formats read whole (PDF, raster) are read
    // from the job's bytes, which need stay readable only for this call.
    // False when the parser failed on them.
    bool EndOfData(const RawPrintData::IJobBytes& job);

    // Whether the job's data was PDF (or PCLm), which cannot ask for two sides.
    bool IsPdf() const { return mHandler.GetCurrentLanguage() == RawPrintData::LANGUAGE_PDF; }

    // Whether the job's data was PWG or Apple Raster, whose page headers may
    // repeat the job's copies.
    bool IsRaster() const
    {
        return mHandler.GetCurrentLanguage() == RawPrintData::LANGUAGE_PWG_RASTER ||
               mHandler.GetCurrentLanguage() == RawPrintData::LANGUAGE_APPLE_RASTER;
    }

    // Ends the parse. The properties carry the page sets the parser counted
    // when the whole job was read and parsed (succeeded); otherwise, with the
    // reason logged, a fallback count of at least one page.
    RawDataJobProperties Finish(uint32_t jobId, bool succeeded);

private:
    void mSetFallbackCount(RawDataJobProperties& properties) const;

    ParserErrorLog mErrorLog;  // declared first: the handler logs into it until it goes
    RawPrintData::CRawDataHandler mHandler;
    bool mblnDoneFailed = false;
    uint64_t mintFallbackPages = 0;
    std::string mstrNoPageProblem;  // the reader found no page, the data declares some
};
