#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Platform {

// One value of a preference domain, as the reader found it.
struct PreferenceValue {
    enum class Kind { Missing, Text, Other };
    Kind kind = Kind::Missing;
    std::string text;  // the value when kind is Text

    bool IsText() const { return kind == Kind::Text; }
    bool IsMissing() const { return kind == Kind::Missing; }
};

// One preference file's property list (XML or binary), parsed. Only the keys
// asked for are looked up; the rest of the dictionary is never walked, so a
// key the reader does not need cannot stop it, whatever it holds.
class PreferenceDictionary {
public:
    // A dictionary with no keys and no problem: what a missing file reads as.
    PreferenceDictionary() = default;

    // Parses the bytes of a file; a text that is not a property list holding
    // a dictionary gives an unusable dictionary that says why.
    static PreferenceDictionary Parse(std::string_view data);
    // An unusable dictionary, for a file that could not be read.
    static PreferenceDictionary Unusable(std::string problem);

    // Why the file cannot be used; empty when it can.
    const std::string& Problem() const { return mstrProblem; }
    // The value of one top-level key; Missing when the key is absent or the
    // file is unusable.
    PreferenceValue Find(std::string_view key) const;

private:
    std::shared_ptr<void> mRoot;  // the parsed dictionary; read-only once made
    std::string mstrProblem;
};

// Reads one key of an application's preference domain. The domain's property
// list (XML or binary) is looked up in the user's preference folder first
// (~/.config/quorvel), then in the system's (/etc/quorvel); the first file
// that holds the key answers.
// A file is parsed again whenever it changed on disk, so a changed preference
// takes effect at once in every running process.
PreferenceValue CopyAppValue(std::string_view key, std::string_view domain);

// The domain's preference files that exist but cannot be used (unreadable,
// too large, not a property list holding a dictionary), each as "<path>:
// <why>". Such a file is read as a missing one.
std::vector<std::string> UnusablePreferenceFiles(std::string_view domain);

// The file that holds a domain's preferences in a given Preferences folder.
std::string PreferenceFilePath(std::string_view folder, std::string_view domain);

}  // namespace Platform
