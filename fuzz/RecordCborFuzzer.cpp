// Feeds arbitrary bytes to the records' file loader as the content of a
// record file (the cached settings and user, stored disconnected jobs): the
// first byte picks the record, the rest is the file. Loading answers true or
// false and never fails otherwise; a record loaded dumps and reads back the
// same. The content goes to the loader in memory: writing and reading back a
// file for each input cost more than the decoding, and reading a whole file
// does not depend on what it holds.

#include "fuzz/FuzzWorld.h"
#include "fuzz/RecordFuzzing.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::vector<uint8_t> content(data + 1, data + size);
    std::unique_ptr<CVClientData::SerializableModel> record = MakeRecord(data[0]);
    if (record->LoadFromBinaryData(content, "record.cbor"))
        CheckDumpReadsBack(*record, data[0]);
    return 0;
}
