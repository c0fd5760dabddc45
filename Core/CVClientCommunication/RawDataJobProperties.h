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
class RawDataJobProperties {
public:
    // Bytes after the length field before the first record.
    static constexpr size_t FIXED_PART_LENGTH = 20;

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
    std::vector<RawPrintData::CRawPageSet> mvecPageSets;
};
