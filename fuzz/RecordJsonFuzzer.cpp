// Feeds arbitrary JSON to the records' readers as a server answer would: the
// first byte picks the record, the rest is the JSON text. A reader either
// reads the record or raises the JSON library's error for a required part;
// nothing else escapes, and what it read dumps and reads back the same.

#include "fuzz/FuzzWorld.h"
#include "fuzz/RecordFuzzing.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const nlohmann::json answer = nlohmann::json::parse(data + 1, data + size, nullptr, /*allow_exceptions=*/false);
    if (answer.is_discarded())
        return 0;
    std::unique_ptr<CVClientData::SerializableModel> record = MakeRecord(data[0]);
    try {
        record->FromJson(answer);
    } catch (const nlohmann::json::exception&) {
        return 0;
    }
    CheckDumpReadsBack(*record, data[0]);
    return 0;
}
