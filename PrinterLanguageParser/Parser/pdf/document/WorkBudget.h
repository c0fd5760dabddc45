#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace RawPrintData::Pdf {

// The work one job may cost its reader: bytes decoded from streams (content,
// forms, patterns, images, object streams) and pixels tested one by one. A
// small compressed stream may decode to gigabytes, so the work is bounded by
// what the data says, not by the job's size alone: at least the minimums
// below, more for a large job. What is left unjudged when the budget runs out
// is not ruled out.
class WorkBudget {
public:
    static constexpr uint64_t MINIMUM_DECODED_BYTES = 256ull * 1024 * 1024;
    static constexpr uint64_t DECODED_BYTES_PER_JOB_BYTE = 32;
    static constexpr uint64_t MINIMUM_PIXELS = 256ull * 1000 * 1000;
    static constexpr uint64_t PIXELS_PER_JOB_BYTE = 16;

    WorkBudget(uint64_t decodedBytes, uint64_t pixels) : mintBytesLeft(decodedBytes), mintPixelsLeft(pixels),
        mintBytes(decodedBytes), mintPixels(pixels) {}

    // The budget of a job of the given size.
    static WorkBudget ForJob(uint64_t jobSize);

    // Takes decoded bytes or tested pixels; false, and the budget spent,
    // when there were not that many left.
    bool SpendBytes(uint64_t count);
    bool SpendPixels(uint64_t count);

    bool Exhausted() const { return mblnExhausted; }

    // What ran out, for the log: "work budget of 256 MiB decoded used up".
    std::string Describe() const;

private:
    uint64_t mintBytesLeft;
    uint64_t mintPixelsLeft;
    uint64_t mintBytes;
    uint64_t mintPixels;
    bool mblnExhausted = false;
    bool mblnPixelsRanOut = false;
};

// Thrown out of a pipeline to stop qpdf decoding once the budget is spent.
struct BudgetExhausted : std::runtime_error {
    BudgetExhausted() : std::runtime_error("work budget used up") {}
};

}  // namespace RawPrintData::Pdf
