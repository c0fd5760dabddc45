#pragma once

#include <QString>

namespace Platform {

// The program's localised texts, looked up by key in a named table. A table
// is a Qt Linguist file compiled into the program as the resource
// ":/strings/<table>.qm", with one context named like the table and the keys
// as source texts; "<table>_<language>.qm" beside it serves the languages of
// the user's locale, "<table>.qm" (English) every other. A program may keep
// its tables in a folder of its own inside, ":/strings/<program>/", so that a
// process holding the tables of two programs (the screenshots) keeps both: a
// key is then looked up in each file of the table, the top folder's first. A
// key that the table does not hold shows as the key itself. Safe on any
// thread.
class LocalizedStrings {
public:
    // The table that texts come from unless another is named.
    static constexpr const char* DefaultTable = "Localizable";
    // Where the compiled tables lie among the program's resources.
    static constexpr const char* ResourceFolder = ":/strings";

    // The text of a key; the key when the table has no text for it.
    static QString Text(const QString& key, const QString& table = QString::fromLatin1(DefaultTable));

    // A format text of the default table filled with its arguments by Qt's
    // argument substitution (%1, %2, ...) in one pass, so that an argument
    // holding "%1" (a text from the server, say) is shown as it is and never
    // read as a format.
    template <typename... Arguments>
    static QString Format(const QString& key, const Arguments&... arguments)
    {
        return Text(key).arg(arguments...);
    }
};

}  // namespace Platform
