#include "Common/SettingsManager.h"

#include "CoreLogger/ComponentLog.h"
#include "Platform/Preferences.h"

#include <algorithm>
#include <array>

using Log = ComponentLog<LogComponents::CoreSettings>;

namespace {

// One preference as a string, or nullopt when it is missing or not a string.
std::optional<std::string> ReadPreference(const char* key)
{
    Platform::PreferenceValue value = Platform::CopyAppValue(key, SettingsManager::PreferenceDomain);
    if (!value.IsText())
        return std::nullopt;
    return value.text;
}

}  // namespace

SettingsManager::SettingsManager()
{
    LoadSettings();
}

// Reads the domain and validates the server address, folder and debug switch.
// A preference file that cannot be used counts as missing, with an error line.
bool SettingsManager::LoadSettings()
{
    for (const std::string& unusable : Platform::UnusablePreferenceFiles(PreferenceDomain))
        Log::Error("Ignoring the preference file %s (it is read as missing).", unusable);
    std::optional<std::string> serviceUrl = ReadPreference("ClientServicesUrl");
    std::optional<std::string> clientDirectory = ReadPreference("ClientDirectory");
    std::optional<std::string> debugLogging = ReadPreference("DebugLogging");
    if (!clientDirectory)
        clientDirectory = DefaultClientDirectory;

    const std::array<std::pair<const char*, const std::optional<std::string>*>, 3> shown = {{
        {"ClientServicesUrl", &serviceUrl},
        {"ClientDirectory", &clientDirectory},
        {"DebugLogging", &debugLogging},
    }};
    for (const auto& [key, value] : shown)
        Log::Debug("Key = %s | Value = %s", key, value->value_or(std::string()));

    if (SetValidateServicesUrl(serviceUrl) && SetValidateApplicationDirectory(clientDirectory)
        && SetValidateDebugLogginLevel(debugLogging)) {
        Log::Debug("Preferences loaded successfully.");
        return true;
    }
    Log::Error("Unable to load preference values.");
    Log::Debug("On first run, no value expected.");
    return false;
}

bool SettingsManager::SetValidateServicesUrl(const std::optional<std::string>& value)
{
    static constexpr ValidationTexts texts{"Unable to load services URL", "Validating services URL ...",
                                           "Service URL is not set."};
    return mSetValidate(value, mstrServiceUrl, texts);
}

bool SettingsManager::SetValidateApplicationDirectory(const std::optional<std::string>& value)
{
    static constexpr ValidationTexts texts{"Unable to load the application directory setting.",
                                           "Validating application directory ...",
                                           "Service application directory is not set."};
    return mSetValidate(value, mstrClientDirectory, texts);
}

bool SettingsManager::SetValidateDebugLogginLevel(const std::optional<std::string>& value)
{
    static constexpr ValidationTexts texts{"Unable to load the debug logging level setting.",
                                           "Validating debug logging level ...",
                                           "Service debug logging level is not set."};
    return mSetValidate(value, mstrDebugLoggingLevel, texts);
}

// Stores one value without white space and logs why it is unusable.
bool SettingsManager::mSetValidate(const std::optional<std::string>& value, std::string& member,
                                   const ValidationTexts& texts)
{
    if (!value) {
        Log::Error("%s", texts.missing);
        return false;
    }
    Log::Debug("%s", texts.validating);
    member = mRemoveWhiteSpace(*value);
    if (member.empty()) {
        Log::Error("%s", texts.empty);
        return false;
    }
    return true;
}

// Drops every white-space character, wherever it stands in the text.
std::string SettingsManager::mRemoveWhiteSpace(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(result), [](char c) {
        return !(c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r');
    });
    return result;
}
