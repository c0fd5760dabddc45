#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace CVClientData {
class CustomField;
class CustomFieldValue;
class ICustomFieldSource;
}  // namespace CVClientData

// One remembered value, as stored: the value's ids, code and description at
// the time it was first remembered.
struct LastTenEntry {
    int64_t FieldId = 0;
    int64_t ValueId = 0;
    int64_t ParentValueId = 0;
    std::string Code;
    std::string Description;
};

// The last ten values a user chose for a field under one parent value,
// newest first, remembered in the user's defaults under
// "LastTen/<field id>/<parent value id>" as a list of records with the keys
// "FieldId", "ValueId", "ParentValueId", "Code" and "Description". A missing
// key reads as an empty list.
class LastTenValues {
public:
    static constexpr size_t Capacity = 10;

    // Loads the list of the field under the parent value.
    LastTenValues(const CVClientData::CustomField& field, uint64_t parentValueId);

    // Empties the list, keys it to the field and parent value and reads what
    // is stored there.
    void loadFromUserPrefs(const CVClientData::CustomField& field, uint64_t parentValueId);
    // Writes the list at once under its key.
    void saveToUserPrefs();

    // Puts the value at the front. A remembered entry with the value's id, or
    // with its code in any letter case, moves to the front unchanged;
    // otherwise a new entry goes in front and the oldest drops out of a full
    // list. The caller saves.
    void addValue(const CVClientData::CustomFieldValue& value);

    const std::vector<LastTenEntry>& values() const { return lastTen; }
    size_t size() const { return lastTen.size(); }
    bool empty() const { return lastTen.empty(); }
    void removeValueAtIndex(size_t index);

    // Removes every entry whose value is not in the field's current list and
    // that the field cannot look up on the server. The caller saves.
    void removeValuesNotInField(const CVClientData::CustomField& field, CVClientData::ICustomFieldSource& dataAccess);

    // Whether two codes are the same but for letter case, as users type them.
    static bool SameCode(const std::string& left, const std::string& right);

private:
    std::vector<LastTenEntry> lastTen;
    QString prefsKey;
};
