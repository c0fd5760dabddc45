// The PWG Raster and Apple Raster reader (the CUPS library's raster stream)
// on arbitrary bytes: no crash, no hang, no memory in the size a header
// claims. The first byte chooses the format (bit 0 set: Apple Raster).

#include "fuzz/WholeJobFuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const auto language = (data[0] & 1) != 0 ? RawPrintData::LANGUAGE_APPLE_RASTER : RawPrintData::LANGUAGE_PWG_RASTER;
    ReadWholeJob(language, {data + 1, size - 1});
    return 0;
}
