#include "hook/PageSetParser.h"

#include "CoreLogger/ComponentLog.h"

namespace {

using Log = ComponentLog<LogComponents::CoreCups>;

}  // namespace

PageSetParser::PageSetParser() : mHandler(RawPrintData::LANGUAGE_UNKNOWN) {}

bool PageSetParser::Write(std::span<const unsigned char> piece)
{
    Log::Debug("Parse the available data");
    int result = mHandler.ParseData(piece.data(), piece.size());
    Log::Debug("ParseData returned: %d", result);
    return result >= 0;
}

bool PageSetParser::EndOfData(const RawPrintData::IJobBytes& job)
{
    mHandler.SetJobBytes(&job);
    const int result = mHandler.ParseDone();
    mHandler.SetJobBytes(nullptr);
    mblnDoneFailed = result < 0;
    if (mblnDoneFailed)
        Log::Error("The job's data could not be parsed to its end (%d).", result);
    return !mblnDoneFailed;
}

RawDataJobProperties PageSetParser::Finish(uint32_t jobId, bool succeeded)
{
    if (!succeeded || mblnDoneFailed) {
        Log::Debug("Parsing did not successfully complete.  Use alternate page count method...");
        mHandler.SetParseSucceeded(false);
        mHandler.ParseDone();
        return RawDataJobProperties(jobId, mHandler);
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
