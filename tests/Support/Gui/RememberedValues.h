#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace TestSupport {

// What the custom-field controls remember of a user's choices, in the
// client's defaults of the test's private root.

// Writes a last-ten list of a field under a parent value: codes with their
// ids, newest first, each described as "<code> text".
void Remember(uint64_t fieldId, uint64_t parentValueId, const std::vector<std::pair<std::string, int64_t>>& codes);

// The codes of the stored last-ten list.
std::vector<std::string> RememberedCodes(uint64_t fieldId, uint64_t parentValueId);

// Writes the value id last chosen for a field of a drop-down or pair of options.
void RememberLastEntry(uint64_t fieldId, int64_t valueId);

}  // namespace TestSupport
