// The PDF and PCLm reader (qpdf) on arbitrary bytes: no crash, no hang.

#include "fuzz/WholeJobFuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ReadWholeJob(RawPrintData::LANGUAGE_PDF, {data, size});
    return 0;
}
