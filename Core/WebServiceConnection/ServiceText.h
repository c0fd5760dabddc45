#pragma once

#include "Common/TextTrim.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <concepts>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace CVClientData {

// A compact dump (keys in byte order) that never throws: bytes that are not
// UTF-8 (a document name from CUPS, say) are replaced rather than refused.
std::string CompactDump(const nlohmann::json& value);

// The value itself when it is an object (an array); otherwise the JSON
// library's type error, which the operations report as an unusable answer.
const nlohmann::json& RequireObject(const nlohmann::json& value);
const nlohmann::json& RequireArray(const nlohmann::json& value);

// An array of record objects read into fresh records; the library's error
// when the answer or an element has another shape, or a record lacks a
// required key.
template <typename Record>
std::vector<Record> ReadRecordArray(const nlohmann::json& answer)
{
    std::vector<Record> records;
    for (const nlohmann::json& element : RequireArray(answer)) {
        Record record;
        record.FromJson(RequireObject(element));
        records.push_back(std::move(record));
    }
    return records;
}

// A record as the server takes it: its own object, dumped compactly.
template <typename Record>
std::string RecordText(const Record& record)
{
    nlohmann::json object = nlohmann::json::object();
    record.ToJson(object);
    return CompactDump(object);
}

// Reads an object answer over a copy of the record, which then replaces it;
// the library's error (and the record untouched) when the answer is not an
// object or lacks a required key. What the answer does not carry keeps the
// record's own value.
template <typename Record>
void ReadRecordOver(const nlohmann::json& answer, Record& record)
{
    Record received = record;
    received.FromJson(RequireObject(answer));
    record = std::move(received);
}

// A whole answer read as one decimal integer, white space around it allowed;
// false for anything else (no digits, other characters, out of range, and a
// sign for an unsigned type).
template <std::integral T>
bool ReadDecimal(std::string_view text, T& value)
{
    text = TrimWhiteSpace(text);
    if (text.empty() || text.front() == '+')
        return false;
    T read{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), read, 10);
    if (error != std::errc() || end != text.data() + text.size())
        return false;
    value = read;
    return true;
}

}  // namespace CVClientData
