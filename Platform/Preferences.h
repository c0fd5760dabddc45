#pragma once

#include <string>
#include <string_view>

namespace Platform {

// One value of a preference domain, as the reader found it.
struct PreferenceValue {
    enum class Kind { Missing, Text, Other };
    Kind kind = Kind::Missing;
    std::string text;  // the value when kind is Text

    bool IsText() const { return kind == Kind::Text; }
    bool IsMissing() const { return kind == Kind::Missing; }
};

// Reads one key of an application's preference domain. The domain's property
// list (XML or binary) is looked up in the user's preference folder first
// (~/.config/quorvel), then in the system's (/etc/quorvel); the first file
// that holds the key answers.
// A file is parsed again whenever it changed on disk, so a changed preference
// takes effect at once in every running process.
PreferenceValue CopyAppValue(std::string_view key, std::string_view domain);

// The file that holds a domain's preferences in a given Preferences folder.
std::string PreferenceFilePath(std::string_view folder, std::string_view domain);

}  // namespace Platform
