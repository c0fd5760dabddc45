#pragma once

#include <QString>

#include <cstdint>

namespace CVClientData {
class CustomField;
class CustomFieldValue;
}  // namespace CVClientData

// The value a user chose last for a field that offers a fixed choice (a
// simple drop-down or a pair of options), remembered in the user's defaults
// under "Field<field id>Value" as the value's id. A missing key reads as 0.
class LastEntryUsed {
public:
    // Loads the field's remembered id; the parent value id is not part of the key.
    LastEntryUsed(const CVClientData::CustomField& field, uint64_t parentValueId);

    // Reads the remembered id of the field (0 when none is stored).
    void loadFromUserPrefs(const CVClientData::CustomField& field, uint64_t parentValueId);
    // Writes the id at once.
    void saveToUserPrefs();
    // Keeps the value's id; the caller saves.
    void addValue(const CVClientData::CustomFieldValue& value);
    // The id last used; -1 until loaded, 0 when nothing is remembered.
    int64_t getLastEntryValue() const { return mlngLastEntry; }

private:
    int64_t mlngLastEntry = -1;
    QString prefsKey;
};
