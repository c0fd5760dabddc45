#pragma once

#include "Common/PrivateFileWriter.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace CVClientData {

// Base of every record exchanged with the server or kept in a local file.
// JSON objects are nlohmann::json's default maps, so every dump lists an
// object's keys in byte order whatever order the code writes them in.
class SerializableModel {
public:
    virtual ~SerializableModel() = default;

    // Adds this record's keys to the object (same-named keys are replaced);
    // never clears the object.
    virtual void ToJson(nlohmann::json& json) const = 0;

    // Reads the record. Scalar keys never fail; a required embedded record or
    // list that is missing or of the wrong kind raises the JSON library's
    // exception, which passes to the caller.
    virtual void FromJson(const nlohmann::json& json) = 0;

    // Writes the record as one CBOR item (mode 0600, replaced atomically, on
    // disk before it replaces the old file unless it is a cache); false, with
    // a log line, when the file cannot be written.
    bool WriteToBinaryFile(const std::string& path,
                           PrivateFileWriter::Durability durability = PrivateFileWriter::Durability::Flushed) const;

    // Reads a file written by WriteToBinaryFile. False when the file cannot be
    // opened, is not exactly one CBOR item or does not read as this record; the
    // record then keeps its serialised values (it is restored from its own
    // dump, so members that FromJson resets, such as a job's printer URI,
    // may still be reset).
    bool LoadFromBinaryFile(const std::string& path);

    // The same for a file's bytes already read by the caller (who opened it
    // with checks of its own); path names the file in log lines.
    bool LoadFromBinaryData(const std::vector<uint8_t>& bytes, const std::string& path);

protected:
    SerializableModel() = default;
    SerializableModel(const SerializableModel&) = default;
    SerializableModel& operator=(const SerializableModel&) = default;

    // Lenient readers: a value that is not an object, a missing or null key or
    // a value of another kind gives the default (empty, 0, false, day 0).
    // Numbers are converted with a cut-off fraction and clamped into range.
    static std::string SafeJsonToString(const nlohmann::json& json, const std::string& key);
    static int32_t SafeJsonToInt(const nlohmann::json& json, const std::string& key);
    static int64_t SafeJsonToLong(const nlohmann::json& json, const std::string& key);
    static uint64_t SafeJsonToULong(const nlohmann::json& json, const std::string& key);
    static double SafeJsonToDouble(const nlohmann::json& json, const std::string& key);
    static bool SafeJsonToBool(const nlohmann::json& json, const std::string& key);
    static std::tm SafeJsonToDateTime(const nlohmann::json& json, const std::string& key);

    // A required embedded record: the key must hold an object.
    template <typename Record>
    static Record ReadRequiredRecord(const nlohmann::json& json, const std::string& key)
    {
        Record record;
        record.FromJson(RequiredValue(json, key, nlohmann::json::value_t::object));
        return record;
    }

    // A required list of records: the key must hold an array. Every element is
    // read into a fresh record; the result replaces the caller's list whole.
    template <typename Record>
    static std::vector<Record> ReadRequiredList(const nlohmann::json& json, const std::string& key)
    {
        return ReadList<Record>(RequiredValue(json, key, nlohmann::json::value_t::array));
    }

    // An optional embedded record or list is read only when its key holds a
    // value other than null; it answers false when there was nothing to read.
    template <typename Record>
    static bool ReadOptionalRecord(const nlohmann::json& json, const std::string& key, Record& member)
    {
        const nlohmann::json* value = OptionalValue(json, key);
        if (value == nullptr)
            return false;
        member = ReadRequiredRecord<Record>(json, key);
        return true;
    }

    template <typename Record>
    static bool ReadOptionalList(const nlohmann::json& json, const std::string& key, std::vector<Record>& member)
    {
        const nlohmann::json* value = OptionalValue(json, key);
        if (value == nullptr)
            return false;
        member = ReadRequiredList<Record>(json, key);
        return true;
    }

    // Writes a list of records as an array of their objects.
    template <typename Record>
    static nlohmann::json ListToJson(const std::vector<Record>& list)
    {
        nlohmann::json array = nlohmann::json::array();
        for (const Record& record : list)
            array.push_back(RecordToJson(record));
        return array;
    }

    // Writes one embedded record as an object of its own.
    static nlohmann::json RecordToJson(const SerializableModel& record);

    // The value under a key of the required kind; raises the library's
    // out_of_range error when it is missing and its type_error otherwise.
    static const nlohmann::json& RequiredValue(const nlohmann::json& json, const std::string& key,
                                               nlohmann::json::value_t kind);

    // The value under a key when it is present and not null, else nullptr.
    static const nlohmann::json* OptionalValue(const nlohmann::json& json, const std::string& key);

private:
    void mRestoreFrom(const nlohmann::json& snapshot);

    template <typename Record>
    static std::vector<Record> ReadList(const nlohmann::json& array)
    {
        std::vector<Record> list;
        list.reserve(array.size());
        for (const nlohmann::json& element : array) {
            Record record;
            record.FromJson(element);
            list.push_back(std::move(record));
        }
        return list;
    }
};

}  // namespace CVClientData
