#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace RawPrintData::PCL6 {

// The compressions of PCL XL image and raster-pattern rows (CompressMode).
enum PxlCompression : uint32_t {
    COMPRESS_NONE = 0,
    COMPRESS_RLE = 1,
    COMPRESS_JPEG = 2,
    COMPRESS_DELTA_ROW = 3,
};

// Turns the data of one ReadImage or ReadRastPattern block back into rows as
// it streams by, in any chunking: uncompressed rows, PackBits runs, or delta
// rows (each a byte count, then commands that replace bytes of the row
// before). A row is handed over as soon as its last byte came; only one row
// and, for delta rows, the row it changes are kept. Data after the block's
// last row is passed over.
class PxlRowDecoder {
public:
    // The bytes of a row from up to to.
    struct ByteRange {
        uint32_t mintFrom;
        uint32_t mintTo;
    };
    // Gets each row completed, with the ranges of its bytes that may differ
    // from the row before: a delta row is judged in time of its own length.
    using RowSink = std::function<void(std::span<const uint8_t> row, std::span<const ByteRange> changed)>;

    // A new image: rows of rowBytes bytes, stored rounded up to a multiple
    // of padMultiple (uncompressed and run-length rows); delta rows start
    // from a blank row. littleEndian is the byte order of delta-row counts.
    void BeginImage(uint32_t rowBytes, uint32_t padMultiple, bool littleEndian);
    // A block of rows in a compression other than JPEG.
    void BeginBlock(PxlCompression compression, uint32_t rows);
    // Reads data of the block; sink gets each row completed.
    void Feed(std::span<const uint8_t> data, const RowSink& sink);
    // Rows of the block not yet completed.
    uint32_t RowsMissing() const { return mintRowsLeft; }

private:
    void mEmit(const RowSink& sink);
    void mFeedPlain(std::span<const uint8_t> data, const RowSink& sink);
    void mFeedRunLength(std::span<const uint8_t> data, const RowSink& sink);
    void mFeedDeltaRow(std::span<const uint8_t> data, const RowSink& sink);

    enum class DeltaState : uint8_t { CountLow, CountHigh, Command, Offset, Replace };

    PxlCompression mintCompression = COMPRESS_NONE;
    uint32_t mintRowBytes = 0;
    uint32_t mintStoredBytes = 0;
    bool mblnLittleEndian = true;
    uint32_t mintRowsLeft = 0;
    std::vector<uint8_t> mvecRow;
    // The bytes of the row changed since the last one handed over.
    std::vector<ByteRange> mvecChanged;
    // Uncompressed and run-length data: bytes of the stored row filled.
    uint32_t mintFilled = 0;
    // A run: literal bytes still to copy, or a byte still to repeat.
    uint32_t mintLiteral = 0;
    uint32_t mintRepeat = 0;
    bool mblnRepeatPending = false;
    // Delta rows: where the next command's bytes go, what is left of the
    // row's byte count, and what is left of the command's replacement.
    DeltaState mDelta = DeltaState::CountLow;
    uint32_t mintCount = 0;
    uint32_t mintCountByte = 0;
    uint64_t mintAt = 0;
    uint32_t mintReplace = 0;
};

}  // namespace RawPrintData::PCL6
