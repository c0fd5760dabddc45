#include "PrinterLanguageParser/Parser/pdf/document/WorkBudget.h"

#include <algorithm>
#include <limits>

namespace RawPrintData::Pdf {

namespace {

uint64_t Scaled(uint64_t size, uint64_t factor, uint64_t minimum)
{
    if (size > std::numeric_limits<uint64_t>::max() / factor)
        return std::numeric_limits<uint64_t>::max();
    return std::max(minimum, size * factor);
}

}  // namespace

WorkBudget WorkBudget::ForJob(uint64_t jobSize)
{
    return WorkBudget(Scaled(jobSize, DECODED_BYTES_PER_JOB_BYTE, MINIMUM_DECODED_BYTES),
                      Scaled(jobSize, PIXELS_PER_JOB_BYTE, MINIMUM_PIXELS));
}

bool WorkBudget::SpendBytes(uint64_t count)
{
    if (mblnExhausted || count > mintBytesLeft) {
        mblnExhausted = true;
        mintBytesLeft = 0;
        return false;
    }
    mintBytesLeft -= count;
    return true;
}

bool WorkBudget::SpendPixels(uint64_t count)
{
    if (mblnExhausted || count > mintPixelsLeft) {
        mblnPixelsRanOut = !mblnExhausted;
        mblnExhausted = true;
        mintPixelsLeft = 0;
        return false;
    }
    mintPixelsLeft -= count;
    return true;
}

std::string WorkBudget::Describe() const
{
    if (mblnPixelsRanOut)
        return "work budget of " + std::to_string(mintPixels / 1000000) + " megapixels tested used up";
    return "work budget of " + std::to_string(mintBytes / (1024 * 1024)) + " MiB decoded used up";
}

}  // namespace RawPrintData::Pdf
