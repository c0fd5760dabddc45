#pragma once

#include "PrinterLanguageParser/Parser/PaperName.h"
#include "PrinterLanguageParser/Parser/RawJobTypes.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace RawPrintData {

// The pages of one paper size. This record travels unchanged inside the
// page-set message, so its layout is a wire format: 276 bytes without padding,
// integers in host order. It is only ever copied byte for byte (ReadFrom,
// WriteTo), never by casting a pointer into received bytes.
struct CRawPageSet {
    static constexpr size_t WIRE_SIZE = 276;

    char mstrPaperName[PAPER_NAME_LENGTH];  // NUL-padded, not terminated when full
    int32_t mintWidth;                      // tenths of a millimetre
    int32_t mintHeight;                     // tenths of a millimetre
    int32_t mintMonoPages;
    int32_t mintColorPages;
    RawPaperOrientation mintOrientation;

    CRawPageSet() { Reset(); }

    // Zero-fills the whole record.
    void Reset();

    std::string_view GetName() const { return PaperNameView(mstrPaperName); }
    void SetName(std::string_view name) { StorePaperName(mstrPaperName, name); }

    // Copies the record's 276 bytes out of / into a wire buffer.
    void WriteTo(std::span<unsigned char, WIRE_SIZE> bytes) const;
    static CRawPageSet ReadFrom(std::span<const unsigned char, WIRE_SIZE> bytes);
};

// Two records are equal when all 276 bytes are.
bool operator==(const CRawPageSet& left, const CRawPageSet& right);

}  // namespace RawPrintData
