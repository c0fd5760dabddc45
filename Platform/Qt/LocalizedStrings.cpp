#include "Platform/Qt/LocalizedStrings.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include <map>
#include <memory>
#include <mutex>

namespace Platform {
namespace {

// The tables loaded so far, by name; a table without a file stays empty.
// Translators are only read once loaded, always under the lock.
struct LoadedTables {
    std::mutex lock;
    std::map<QString, std::unique_ptr<QTranslator>> tables;
};

LoadedTables& Tables()
{
    static LoadedTables tables;
    return tables;
}

// Loads a table for the user's languages, else the English one; a table that
// is not there stays empty, and its keys show as they are. The table belongs
// to the application's thread, whichever thread asked first.
std::unique_ptr<QTranslator> LoadTable(const QString& table)
{
    auto translator = std::make_unique<QTranslator>();
    if (QCoreApplication* application = QCoreApplication::instance())
        translator->moveToThread(application->thread());
    const QString folder = QString::fromLatin1(LocalizedStrings::ResourceFolder);
    if (!translator->load(QLocale(), table, QStringLiteral("_"), folder))
        static_cast<void>(translator->load(table, folder));
    return translator;
}

}  // namespace

QString LocalizedStrings::Text(const QString& key, const QString& table)
{
    LoadedTables& loaded = Tables();
    std::lock_guard lock(loaded.lock);
    auto found = loaded.tables.find(table);
    if (found == loaded.tables.end())
        found = loaded.tables.emplace(table, LoadTable(table)).first;
    QString text = found->second->translate(table.toUtf8().constData(), key.toUtf8().constData());
    return text.isEmpty() ? key : text;
}

}  // namespace Platform
