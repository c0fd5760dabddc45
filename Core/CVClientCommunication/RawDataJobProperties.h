#pragma once

#include "Core/CVClientCommunication/ClientMessage.h"
#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "PrinterLanguageParser/Parser/CRawPageSet.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The result of parsing one job's printer data as it travels from the hook to
// the client in the 'N','P' message. The content is six host-order 32-bit
// numbers (length of what follows, job id, copies, colour space, duplex,
// number of page sets) and then each CRawPageSet's 276 bytes.
//
// The page sets of a job whose data could not be counted whole carry a
// fallback count; the flag below in each record's orientation word says so.
// The receiver has never used the orientation, so a peer that does not know
// the flag reads the message unchanged and bills the pages it carries.
class RawDataJobProperties {
public:
    // Bytes after the length field before the first record.
    static constexpr size_t FIXED_PART_LENGTH = 20;
    // Set in the orientation word of every record of a fallback count.
    static constexpr uint32_t FALLBACK_COUNT_FLAG = 0x100;

    RawDataJobProperties() = default;
    // Hook side, after ParseDone; page sets only when the parse succeeded.
    RawDataJobProperties(uint32_t jobId, const RawPrintData::CRawDataHandler& handler);
    // Client side; a malformed message gives job id 0 and no page sets.
    explicit RawDataJobProperties(const ClientMessage& message);

    // The 'N','P' message to send.
    ClientMessage GetMessage() const;

    // Hook side: the copies the printer makes, replacing the data's own.
    void SetCopies(uint32_t copies) { mintCopies = copies; }
    // Hook side: the printer prints both sides although the data does not say so.
    void SetDuplex(bool duplex) { mblnDuplex = duplex; }
    // Hook side, for a job that could not be counted: the page sets read
    // before the reading stopped, raised to at least the given pages and
    // never fewer than one (the pages added go to the last set, as colour
    // pages unless the job is known to be black and white, or to a set of
    // unknown paper), sent as a fallback count.
    void SetFallbackCount(std::vector<RawPrintData::CRawPageSet> pageSets, uint64_t atLeast);
    // Whether the page sets are a fallback count rather than the data's own.
    bool IsFallbackCount() const { return mblnFallbackCount; }

    uint32_t GetJobId() const { return mintJobId; }
    uint32_t GetCopies() const { return mintCopies; }
    uint32_t GetColorSpace() const { return mintColorSpace; }
    bool IsDuplex() const { return mblnDuplex; }
    const std::vector<RawPrintData::CRawPageSet>& GetPageSets() const { return mvecPageSets; }

private:
    void mDecode(const ByteString& content);

    uint32_t mintJobId = 0;
    uint32_t mintCopies = 0;
    uint32_t mintColorSpace = 0;  // RawPrintData::RawColorType
    bool mblnDuplex = false;
    bool mblnFallbackCount = false;
    std::vector<RawPrintData::CRawPageSet> mvecPageSets;
};
