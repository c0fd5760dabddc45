#pragma once

#include <optional>
#include <string>

// The three preferences that the configuration application writes into the
// domain "com.corvane.cvk.client": the server address, the client folder and
// the debug switch. Both the client and the hook read them at start-up.
class SettingsManager {
public:
    static constexpr const char* PreferenceDomain = "com.corvane.cvk.client";
    static constexpr const char* DefaultClientDirectory = "/usr/lib/quorvel";

    // Members stay empty until LoadSettings has run; the constructor runs it
    // once and does not keep its answer.
    SettingsManager();

    // Reads and checks the three preferences; false when one is missing,
    // not a string or empty once its white space is removed.
    bool LoadSettings();

    std::string GetServiceUrl() const { return mstrServiceUrl; }
    std::string GetClientDirectory() const { return mstrClientDirectory; }
    std::string GetDebugLoggingLevel() const { return mstrDebugLoggingLevel; }

    // False only when the level is exactly "0" (also true while it is empty).
    bool IsDebugLoggingOn() const { return mstrDebugLoggingLevel != "0"; }

    // Each stores one value with every white-space character removed and
    // answers whether it is usable; nullopt stands for a missing value.
    bool SetValidateServicesUrl(const std::optional<std::string>& value);
    bool SetValidateApplicationDirectory(const std::optional<std::string>& value);
    bool SetValidateDebugLogginLevel(const std::optional<std::string>& value);

private:
    struct ValidationTexts {
        const char* missing;
        const char* validating;
        const char* empty;
    };

    static bool mSetValidate(const std::optional<std::string>& value, std::string& member,
                             const ValidationTexts& texts);
    static std::string mRemoveWhiteSpace(const std::string& text);

    std::string mstrServiceUrl;
    std::string mstrClientDirectory;
    std::string mstrDebugLoggingLevel;
};
