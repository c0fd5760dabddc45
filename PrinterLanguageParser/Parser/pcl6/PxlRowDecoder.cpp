#include "PrinterLanguageParser/Parser/pcl6/PxlRowDecoder.h"

#include <algorithm>
#include <cstring>

namespace RawPrintData::PCL6 {

void PxlRowDecoder::BeginImage(uint32_t rowBytes, uint32_t padMultiple, bool littleEndian)
{
    padMultiple = std::max<uint32_t>(padMultiple, 1);
    mintRowBytes = rowBytes;
    mintStoredBytes = static_cast<uint32_t>((uint64_t{rowBytes} + padMultiple - 1) / padMultiple * padMultiple);
    mblnLittleEndian = littleEndian;
    // One spare byte past the row holds the byte a run repeats.
    mvecRow.assign(uint64_t{mintStoredBytes} + 1, 0);
    mintRowsLeft = 0;
    // The blank row a delta row starts from is new to the judge.
    mvecChanged.assign(1, {0, mintRowBytes});
}

void PxlRowDecoder::BeginBlock(PxlCompression compression, uint32_t rows)
{
    mintCompression = compression;
    mintRowsLeft = rows;
    mintFilled = 0;
    mintLiteral = 0;
    mintRepeat = 0;
    mblnRepeatPending = false;
    mDelta = DeltaState::CountLow;
    mintCount = 0;
    mintAt = 0;
    mintReplace = 0;
}

void PxlRowDecoder::Feed(std::span<const uint8_t> data, const RowSink& sink)
{
    if (mintRowsLeft == 0 || mintStoredBytes == 0)
        return;
    switch (mintCompression) {
    case COMPRESS_NONE:
        mFeedPlain(data, sink);
        break;
    case COMPRESS_RLE:
        mFeedRunLength(data, sink);
        break;
    case COMPRESS_DELTA_ROW:
        mFeedDeltaRow(data, sink);
        break;
    default:
        break;
    }
}

// Hands the row over; the next starts empty (delta rows keep it as their seed).
void PxlRowDecoder::mEmit(const RowSink& sink)
{
    if (mintCompression != COMPRESS_DELTA_ROW)
        mvecChanged.assign(1, {0, mintRowBytes});
    sink(std::span<const uint8_t>(mvecRow).first(mintRowBytes), mvecChanged);
    --mintRowsLeft;
    mintFilled = 0;
    mvecChanged.clear();
}

void PxlRowDecoder::mFeedPlain(std::span<const uint8_t> data, const RowSink& sink)
{
    size_t index = 0;
    while (index < data.size() && mintRowsLeft > 0) {
        const size_t take = std::min<size_t>(mintStoredBytes - mintFilled, data.size() - index);
        std::memcpy(mvecRow.data() + mintFilled, data.data() + index, take);
        mintFilled += static_cast<uint32_t>(take);
        index += take;
        if (mintFilled == mintStoredBytes)
            mEmit(sink);
    }
}

// PackBits: a control byte n up to 127 copies the n + 1 bytes after it, from
// 129 up repeats the next byte 257 - n times, and 128 does nothing. Runs go
// on across rows.
void PxlRowDecoder::mFeedRunLength(std::span<const uint8_t> data, const RowSink& sink)
{
    size_t index = 0;
    while (mintRowsLeft > 0) {
        if (mintRepeat > 0 && !mblnRepeatPending) {
            const uint32_t take = std::min(mintRepeat, mintStoredBytes - mintFilled);
            std::memset(mvecRow.data() + mintFilled, mvecRow[mintStoredBytes], take);
            mintFilled += take;
            mintRepeat -= take;
        } else if (index >= data.size()) {
            return;
        } else if (mblnRepeatPending) {
            mvecRow[mintStoredBytes] = data[index++];
            mblnRepeatPending = false;
        } else if (mintLiteral > 0) {
            const uint32_t take = static_cast<uint32_t>(
                std::min<size_t>({mintLiteral, mintStoredBytes - mintFilled, data.size() - index}));
            std::memcpy(mvecRow.data() + mintFilled, data.data() + index, take);
            mintFilled += take;
            mintLiteral -= take;
            index += take;
        } else {
            const uint8_t control = data[index++];
            if (control < 128) {
                mintLiteral = control + 1u;
            } else if (control > 128) {
                mintRepeat = 257u - control;
                mblnRepeatPending = true;
            }
        }
        if (mintFilled == mintStoredBytes)
            mEmit(sink);
    }
}

// Delta rows: a byte count in the stream's byte order, then commands whose
// high three bits give 1 to 8 bytes to replace and whose low five bits the
// bytes to pass over first (31 and more in bytes that follow, while they are
// 255). A count of 0 repeats the row before.
void PxlRowDecoder::mFeedDeltaRow(std::span<const uint8_t> data, const RowSink& sink)
{
    size_t index = 0;
    while (mintRowsLeft > 0) {
        if (mDelta == DeltaState::Command && mintCount == 0) {
            mEmit(sink);
            mDelta = DeltaState::CountLow;
            continue;
        }
        if (index >= data.size())
            return;
        const uint8_t byte = data[index++];
        switch (mDelta) {
        case DeltaState::CountLow:
            mintCountByte = byte;
            mDelta = DeltaState::CountHigh;
            break;
        case DeltaState::CountHigh:
            mintCount = mblnLittleEndian ? (mintCountByte | (uint32_t{byte} << 8)) : ((mintCountByte << 8) | byte);
            mintAt = 0;
            mDelta = DeltaState::Command;
            break;
        case DeltaState::Command:
            --mintCount;
            mintReplace = (byte >> 5) + 1u;
            mintAt += byte & 0x1F;
            mDelta = (byte & 0x1F) == 0x1F ? DeltaState::Offset : DeltaState::Replace;
            break;
        case DeltaState::Offset:
            --mintCount;
            mintAt += byte;
            if (byte != 0xFF)
                mDelta = DeltaState::Replace;
            break;
        case DeltaState::Replace:
            --mintCount;
            if (mintAt < mintRowBytes) {
                mvecRow[mintAt] = byte;
                const auto at = static_cast<uint32_t>(mintAt);
                if (!mvecChanged.empty() && mvecChanged.back().mintTo == at)
                    ++mvecChanged.back().mintTo;
                else
                    mvecChanged.push_back({at, at + 1});
            }
            ++mintAt;
            if (--mintReplace == 0)
                mDelta = DeltaState::Command;
            break;
        }
        if (mintCount == 0 && mDelta != DeltaState::CountHigh) {
            // The row's bytes are all read, whatever command they cut.
            mDelta = DeltaState::Command;
        }
    }
}

}  // namespace RawPrintData::PCL6
