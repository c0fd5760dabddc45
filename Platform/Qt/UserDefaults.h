#pragma once

#include <QString>
#include <QVariant>

#include <string>

namespace Platform {

// The client's own defaults for the current user: small values the windows
// remember from one run to the next, such as the custom-field values chosen
// last. They are a QSettings file in the user's preference folder, beside
// the preference files but never one of them. Keys are the client's own
// texts; a key holding "/" is stored as a path of groups.
//
// Every write reaches the file before it returns, so that a client that is
// ended right after a pop-up loses nothing. Main thread only.
class UserDefaults {
public:
    // The file's name in the user's preference folder.
    static constexpr const char* FileName = "client-defaults.conf";

    // Where the file lies for the current user (under the movable root);
    // empty when the user has no home folder.
    static std::string FilePath();

    // The stored value, or an invalid QVariant when the key is missing.
    static QVariant Value(const QString& key);

    // Stores the value and writes the file at once; false when the file
    // could not be written.
    static bool SetValue(const QString& key, const QVariant& value);
};

}  // namespace Platform
