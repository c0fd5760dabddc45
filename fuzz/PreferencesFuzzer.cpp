// Feeds arbitrary bytes to the preference reader as the content of a
// preference file and asks it for the keys the programs read: no crash and
// no abort, whatever keys and values the dictionary holds.

#include "Platform/Preferences.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const Platform::PreferenceDictionary dictionary = Platform::PreferenceDictionary::Parse(file);
    for (const char* key : {"ClientServicesUrl", "ClientDirectory", "DebugLogging", ""}) {
        const Platform::PreferenceValue value = dictionary.Find(key);
        if (!dictionary.Problem().empty() && !value.IsMissing())
            __builtin_trap();  // an unusable file must read as a missing one
    }
    return 0;
}
