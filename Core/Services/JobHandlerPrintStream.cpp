#include "Core/Services/JobHandler.h"

#include "Core/CVClientCommunication/RawDataJobProperties.h"
#include "Core/Services/HookWatchingUserInterface.h"
#include "CoreLogger/ComponentLog.h"

#include <algorithm>
#include <cstdint>
#include <limits>

// The page data that the hook parsed from the job's print stream.

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreJobHandling>;

namespace {

// A page count from the wire: never negative.
int32_t PageCount(int32_t pages)
{
    return std::max<int32_t>(pages, 0);
}

}  // namespace

// Sends 'R','P' once CUPS has named the job's printer: the hook parses the
// job while this thread reads the PPD and asks the server, and the answer is
// read where the pipeline needs the page data.
void JobHandler::mAskForPageData()
{
    Log::Debug("Sending message to get pagesets");
    mConnection->Send(ClientMessage(ClientMessageType::Request, ClientMessageSubType::PageSets));
    mblnPageDataAsked = true;
}

// Waits for the hook's answer without a time-out: parsing a large job takes
// as long as it takes, and the controller wakes the wait at shutdown.
bool JobHandler::RequestPageSetDataFromCUPS()
{
    if (!mblnPageDataAsked)
        mAskForPageData();
    ClientMessage answer = mTakePageData();
    mStopIfClientQuits();
    // The hook left before it sent the page data (CUPS stopped it, cupsd
    // went down): this run of the job prints nothing, so nothing is recorded
    // for it; CUPS starts the job again as a new run.
    if (answer.Is(ClientMessageType::Error, ClientMessageSubType::CommunicationFailure)) {
        Log::Info("JobHandler - Job(%u): the hook left before it sent the page data; nothing is recorded for this "
                  "run of the job.",
                  mintJobId);
        mConnection->MarkHookGone();
        throw HookWatchingUserInterface::HookGone{};
    }
    SetJobPropertiesFromPrintStream(answer);
    return answer.GetSubType() == ClientMessageSubType::PageSets;
}

// The hook's answer to the 'R','P' sent, with the sealed copy of the job
// that comes with it.
ClientMessage JobHandler::mTakePageData()
{
    mblnPageDataAsked = false;
    ClientMessage answer = mConnection->Receive();
    if (int sealed = mConnection->TakeReceivedDescriptor(); sealed >= 0)
        mSealedPayload = std::make_unique<Platform::ScopedDescriptor>(sealed);
    return answer;
}

// An answer that is not this job's page data (another job's, a failure, a
// closed connection) leaves the job with the default page set from CUPS.
void JobHandler::SetJobPropertiesFromPrintStream(const ClientMessage& message)
{
    RawDataJobProperties properties(message);
    if (!message.Is(ClientMessageType::Notify, ClientMessageSubType::PageSets) ||
        properties.GetJobId() != mJob.CupsId) {
        Log::Debug("Printstream already closed. Job should already contain job properties.");
        if (mJob.Costing.PageSets.empty())
            mUseDefaultPageSet();
        return;
    }

    mJob.Costing.IsDuplex = properties.IsDuplex();
    mJob.ColorMode = properties.GetColorSpace() == RawPrintData::COLOR_TYPE_COLOR;
    // A job is printed at least once; no copies at all would price it at nothing.
    if (properties.GetCopies() > 0)
        mJob.Costing.Copies = properties.GetCopies();
    const std::vector<RawPrintData::CRawPageSet>& records = properties.GetPageSets();
    Log::Debug("Page set vector size= %lu", static_cast<unsigned long>(records.size()));
    mJob.Costing.PageSets.clear();
    mintParsedPages = 0;

    if (records.empty()) {
        Log::Debug("No pagesets defined in job. Creating a default pageset.");
        mUseDefaultPageSet();
        return;
    }
    unsigned long number = 0;
    for (const RawPrintData::CRawPageSet& record : records) {
        ++number;
        Log::Debug("Setting up Pagesets");
        CVClientData::PageSet pageSet;
        pageSet.SizeName = std::string(record.GetName());
        pageSet.Width = record.mintWidth;
        pageSet.Height = record.mintHeight;
        if (pageSet.SizeName == "Unknown" || pageSet.SizeName == "Auto") {
            pageSet.SizeName = mJob.DefaultPageSet.SizeName;
            Log::Debug("Exact paper size name is unknown. Changing to: %s", pageSet.SizeName);
            // A paper of no size is the queue's default paper.
            if (pageSet.Width == 0 || pageSet.Height == 0) {
                pageSet.Width = mJob.DefaultPageSet.Width;
                pageSet.Height = mJob.DefaultPageSet.Height;
            }
        }
        pageSet.BWPages = PageCount(record.mintMonoPages);
        pageSet.ColorPages = PageCount(record.mintColorPages);
        int64_t pages = static_cast<int64_t>(pageSet.BWPages) + pageSet.ColorPages;
        Log::Debug("PageSet%lu - Total Pages =%lld", number, static_cast<long long>(pages));
        mintParsedPages += static_cast<uint64_t>(pages);
        mJob.Costing.PageSets.push_back(std::move(pageSet));
    }
    mblnFallbackCount = properties.IsFallbackCount();
    if (mblnFallbackCount)
        mApplyFallbackCount();
}

// The job is billed the best count there is, never fewer pages than CUPS
// knows of; a printer without colour prints the pages no one could judge in
// black and white.
void JobHandler::mApplyFallbackCount()
{
    std::vector<CVClientData::PageSet>& pageSets = mJob.Costing.PageSets;
    const bool colour = mJob.GetPrinter().ColorCapable;
    for (CVClientData::PageSet& pageSet : pageSets) {
        if (!colour) {
            pageSet.BWPages = static_cast<int32_t>(
                std::min<int64_t>(static_cast<int64_t>(pageSet.BWPages) + pageSet.ColorPages, INT32_MAX));
            pageSet.ColorPages = 0;
        }
    }
    const uint64_t hookPages = mintParsedPages;
    if (mJob.CUPSNumberOfPages > mintParsedPages && !pageSets.empty()) {
        CVClientData::PageSet& last = pageSets.back();
        int32_t& count = colour && mJob.ColorMode ? last.ColorPages : last.BWPages;
        count = static_cast<int32_t>(
            std::min<uint64_t>(static_cast<uint64_t>(count) + (mJob.CUPSNumberOfPages - mintParsedPages), INT32_MAX));
        mintParsedPages = mJob.CUPSNumberOfPages;
    }
    Log::Error("JobHandler::HandleJob - Job(%u) could not be counted from its data; it is billed as %llu pages, a "
               "fallback count (the hook's: %llu, CUPS's: %llu).",
               mintJobId, static_cast<unsigned long long>(mintParsedPages), static_cast<unsigned long long>(hookPages),
               static_cast<unsigned long long>(mJob.CUPSNumberOfPages));
}

// Appends CUPS's default page set, in black and white unless printer and job are in colour.
void JobHandler::mUseDefaultPageSet()
{
    CVClientData::PageSet pageSet = mJob.DefaultPageSet;
    bool colorCapable = mJob.GetPrinter().ColorCapable;
    if (!colorCapable || !mJob.ColorMode) {
        Log::Debug("Adjusting page count...");
        Log::Debug("ColorCapable= %s,  ColorMode= %s", colorCapable ? "true" : "false",
                   mJob.ColorMode ? "true" : "false");
        int64_t pages = static_cast<int64_t>(PageCount(pageSet.BWPages)) + PageCount(pageSet.ColorPages);
        pageSet.BWPages = static_cast<int32_t>(std::min<int64_t>(pages, std::numeric_limits<int32_t>::max()));
        pageSet.ColorPages = 0;
    }
    mJob.Costing.PageSets.push_back(std::move(pageSet));
}

// CUPS knows a raw job's pages only where the print system counted them
// before the job reached the backend; on this system it usually does not
// (a raw job carries no impressions yet), and the parsed page sets then tell.
uint64_t JobHandler::mJobPageCount() const
{
    if (mJob.CUPSNumberOfPages > 0)
        return mJob.CUPSNumberOfPages;
    if (mintParsedPages > 0)
        Log::Debug("JobHandler::HandleJob - CUPS gives no page count for job %u; the print stream has %llu pages.",
                   mintJobId, static_cast<unsigned long long>(mintParsedPages));
    return mintParsedPages;
}

}  // namespace CVCoreDataServices
