#include "hook/PageSetParser.h"

#include "Common/StringFormat.h"
#include "CoreLogger/ComponentLog.h"
#include "PrinterLanguageParser/Parser/FallbackPageCount.h"
#include "PrinterLanguageParser/Parser/LanguageNames.h"

#include <algorithm>

namespace {

using Log = ComponentLog<LogComponents::CoreCups>;

}  // namespace

PageSetParser::PageSetParser() : mHandler(RawPrintData::LANGUAGE_UNKNOWN)
{
    mHandler.SetLogger(&mErrorLog);
}

bool PageSetParser::Write(std::span<const unsigned char> piece)
{
    Log::Debug("Parse the available data");
    int result = mHandler.ParseData(piece.data(), piece.size());
    Log::Debug("ParseData returned: %d", result);
    return result >= 0;
}

// A job the parser gave up on is counted again, as far as its data says, from
// the bytes while they are at hand.
bool PageSetParser::EndOfData(const RawPrintData::IJobBytes& job)
{
    mHandler.SetJobBytes(&job);
    const int result = mHandler.ParseDone();
    mHandler.SetJobBytes(nullptr);
    mblnDoneFailed = result < 0;
    const int pages = mHandler.GetTotalPageCount();
    if (!mHandler.IsCounted() || pages == 0)
        mintFallbackPages = RawPrintData::FallbackPageCount(job);
    // A reader that found no page where the data declares pages did not
    // count the job either, whatever it answered.
    if (mHandler.IsCounted() && pages == 0 && mintFallbackPages > 0)
        mstrNoPageProblem = stringFormat("no page was found in the %s data, which declares %llu",
                                         RawPrintData::LanguageName(mHandler.GetCurrentLanguage()),
                                         static_cast<unsigned long long>(mintFallbackPages));
    return !mblnDoneFailed;
}

RawDataJobProperties PageSetParser::Finish(uint32_t jobId, bool succeeded)
{
    if (!succeeded || mblnDoneFailed || !mHandler.IsCounted() || !mstrNoPageProblem.empty()) {
        Log::Debug("Parsing did not successfully complete.  Use alternate page count method...");
        mHandler.SetParseSucceeded(false);
        mHandler.ParseDone();
        RawDataJobProperties properties(jobId, mHandler);
        mSetFallbackCount(properties);
        return properties;
    }
    mHandler.ParseDone();
    const auto& pageSets = mHandler.GetPageSets();
    Log::Debug("Parse complete successfully... # of pagesets calculated = %ld", static_cast<long>(pageSets.size()));
    for (size_t i = 0; i < pageSets.size(); ++i) {
        Log::Debug("PageSet Information - PageSet[%d]", static_cast<int>(i));
        Log::Debug("B/W Page Count = %d", pageSets[i].mintMonoPages);
        Log::Debug("Color Page Count = %d", pageSets[i].mintColorPages);
        Log::Debug("PageSet Information - PageSet[%d]", static_cast<int>(i));
    }
    mHandler.SetParseSucceeded(true);
    return RawDataJobProperties(jobId, mHandler);
}

// A job that could not be counted is never taken for one without pages: it
// carries the pages read before the reading stopped, or what its data says
// besides (a DSC page count, a PDF's page tree), and at least one page.
void PageSetParser::mSetFallbackCount(RawDataJobProperties& properties) const
{
    const int read = mHandler.GetTotalPageCount();
    const uint64_t pages = std::max<uint64_t>({static_cast<uint64_t>(std::max(read, 0)), mintFallbackPages, 1});
    if (!mHandler.IsCounted()) {
        Log::Error("The job's %s data could not be counted after page %d: %s",
                   RawPrintData::LanguageName(mHandler.GetProblemLanguage()), mHandler.GetPagesBeforeProblem(),
                   mHandler.GetProblem());
    } else if (!mstrNoPageProblem.empty()) {
        Log::Error("The job's data could not be counted: %s.", mstrNoPageProblem);
    } else {
        Log::Error("The job's data could not be read to its end; %d pages were counted before.", read);
    }
    Log::Error("The job is counted as %llu pages (read: %d, by its page comments or page tree: %llu), a fallback count.",
               static_cast<unsigned long long>(pages), read, static_cast<unsigned long long>(mintFallbackPages));
    properties.SetFallbackCount(mHandler.GetPageSets(), pages);
}
