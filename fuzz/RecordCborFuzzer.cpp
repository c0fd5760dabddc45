// Feeds arbitrary bytes to the records' file loader as the content of a
// record file (the cached settings and user, stored disconnected jobs): the
// first byte picks the record, the rest is the file. Loading answers true or
// false and never fails otherwise; a record loaded dumps and reads back the
// same.

#include "fuzz/FuzzWorld.h"
#include "fuzz/RecordFuzzing.h"

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const std::string path = FuzzRoot() + "/record.cbor";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        std::abort();
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);
    std::unique_ptr<CVClientData::SerializableModel> record = MakeRecord(data[0]);
    if (record->LoadFromBinaryFile(path))
        CheckDumpReadsBack(*record, data[0]);
    return 0;
}
