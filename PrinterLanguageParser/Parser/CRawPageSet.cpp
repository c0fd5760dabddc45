#include "PrinterLanguageParser/Parser/CRawPageSet.h"

#include <cstring>
#include <type_traits>

namespace RawPrintData {

// The wire layout, checked where the record is defined.
static_assert(std::is_trivially_copyable_v<CRawPageSet>);
static_assert(std::is_standard_layout_v<CRawPageSet>);
static_assert(sizeof(RawPaperOrientation) == 4);
static_assert(sizeof(CRawPageSet) == CRawPageSet::WIRE_SIZE);
static_assert(offsetof(CRawPageSet, mstrPaperName) == 0);
static_assert(offsetof(CRawPageSet, mintWidth) == 256);
static_assert(offsetof(CRawPageSet, mintHeight) == 260);
static_assert(offsetof(CRawPageSet, mintMonoPages) == 264);
static_assert(offsetof(CRawPageSet, mintColorPages) == 268);
static_assert(offsetof(CRawPageSet, mintOrientation) == 272);

// Zero-fills the record.
void CRawPageSet::Reset()
{
    std::memset(static_cast<void*>(this), 0, sizeof *this);
}

// Copies the record into a wire buffer.
void CRawPageSet::WriteTo(std::span<unsigned char, WIRE_SIZE> bytes) const
{
    std::memcpy(bytes.data(), static_cast<const void*>(this), WIRE_SIZE);
}

// Builds a record from its wire bytes.
CRawPageSet CRawPageSet::ReadFrom(std::span<const unsigned char, WIRE_SIZE> bytes)
{
    CRawPageSet pageSet;
    std::memcpy(static_cast<void*>(&pageSet), bytes.data(), WIRE_SIZE);
    return pageSet;
}

// Compares the two records byte for byte.
bool operator==(const CRawPageSet& left, const CRawPageSet& right)
{
    return std::memcmp(static_cast<const void*>(&left), static_cast<const void*>(&right), CRawPageSet::WIRE_SIZE) == 0;
}

}  // namespace RawPrintData
