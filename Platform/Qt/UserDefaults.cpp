#include "Platform/Qt/UserDefaults.h"

#include "Platform/Folders.h"

#include <QSettings>

namespace Platform {

std::string UserDefaults::FilePath()
{
    std::string folder = FolderPath(Folder::UserPreferences);
    if (folder.empty())
        return folder;
    return folder + "/" + FileName;
}

// A settings object is made for every access: Qt shares one cache per file
// in the process, and the folder follows the root, which tests move.
QVariant UserDefaults::Value(const QString& key)
{
    std::string path = FilePath();
    if (path.empty())
        return QVariant();
    QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
    return settings.value(key);
}

bool UserDefaults::SetValue(const QString& key, const QVariant& value)
{
    std::string path = FilePath();
    if (path.empty())
        return false;
    QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace Platform
