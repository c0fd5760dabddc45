#include "Platform/Qt/LocalizedStrings.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTranslator>

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace Platform {
namespace {

// The compiled files of one table, the program's own first.
using TableFiles = std::vector<std::unique_ptr<QTranslator>>;

// The tables loaded so far, by name; a table without a file stays empty.
// Translators are only read once loaded, always under the lock.
struct LoadedTables {
    std::mutex lock;
    std::map<QString, TableFiles> tables;
};

LoadedTables& Tables()
{
    static LoadedTables tables;
    return tables;
}

// Loads a table's files for the user's languages, else the English ones,
// from the string folder and from each folder inside it; a table that is not
// there stays empty, and its keys show as they are. The files belong to the
// application's thread, whichever thread asked first.
TableFiles LoadTable(const QString& table)
{
    const QString root = QString::fromLatin1(LocalizedStrings::ResourceFolder);
    QStringList folders{root};
    for (const QString& inside : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        folders.append(root + QLatin1Char('/') + inside);
    TableFiles files;
    for (const QString& folder : folders) {
        auto translator = std::make_unique<QTranslator>();
        if (QCoreApplication* application = QCoreApplication::instance())
            translator->moveToThread(application->thread());
        if (translator->load(QLocale(), table, QStringLiteral("_"), folder) || translator->load(table, folder))
            files.push_back(std::move(translator));
    }
    return files;
}

}  // namespace

QString LocalizedStrings::Text(const QString& key, const QString& table)
{
    LoadedTables& loaded = Tables();
    std::lock_guard lock(loaded.lock);
    auto found = loaded.tables.find(table);
    if (found == loaded.tables.end())
        found = loaded.tables.emplace(table, LoadTable(table)).first;
    const QByteArray context = table.toUtf8();
    const QByteArray source = key.toUtf8();
    for (const auto& file : found->second) {
        QString text = file->translate(context.constData(), source.constData());
        if (!text.isEmpty())
            return text;
    }
    return key;
}

}  // namespace Platform
