#include "tests/Support/TempRoot.h"

#include "Platform/FileSystemRoot.h"
#include "Platform/Folders.h"
#include "Platform/UserAccount.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace TestSupport {

TempRoot::TempRoot()
{
    char pattern[] = "/tmp/cvkt.XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr)
        throw std::runtime_error("mkdtemp failed");
    mstrPath = made;
    fs::permissions(mstrPath, fs::perms(0755));
    Platform::SetFileSystemRoot(mstrPath);
    using Platform::Folder;
    // The user's log folder is not made: the logger makes it on the first
    // line, as on a machine where the user never ran a program.
    for (Folder folder : {Folder::SystemLogs, Folder::SystemPreferences, Folder::SystemData, Folder::UserPreferences})
        fs::create_directories(Platform::FolderPath(folder));
    // Root writes its log only into a folder no other user can write into,
    // whatever the umask of the test run.
    fs::permissions(Platform::FolderPath(Folder::SystemLogs), fs::perms(0755));
    // The hook makes job copies only in a folder no other user can write into.
    fs::permissions(Platform::FolderPath(Folder::SystemData), fs::perms(0755));
    fs::create_directories(Host("/tmp"));
    fs::permissions(Host("/tmp"), fs::perms(01777));
}

TempRoot::~TempRoot()
{
    Platform::SetFileSystemRoot("");
    std::error_code ignored;
    fs::remove_all(mstrPath, ignored);
}

std::string TempRoot::Host(std::string_view absolutePath) const
{
    return mstrPath + std::string(absolutePath);
}

std::string TempRoot::Home() const
{
    auto account = Platform::CurrentUser();
    return Host(account ? account->home : std::string("/nonexistent"));
}

void TempRoot::WritePreferences(std::string_view folder, std::string_view domain,
                                const std::initializer_list<std::pair<std::string, std::string>>& values,
                                bool binary) const
{
    plist_t dict = plist_new_dict();
    for (const auto& [key, value] : values)
        plist_dict_set_item(dict, key.c_str(), plist_new_string(value.c_str()));
    char* data = nullptr;
    uint32_t length = 0;
    if (binary)
        plist_to_bin(dict, &data, &length);
    else
        plist_to_xml(dict, &data, &length);
    std::string path = std::string(folder) + "/" + std::string(domain) + ".plist";
    WriteFileText(path, std::string_view(data, length));
    free(data);
    plist_free(dict);
}

void TempRoot::WriteClientPreferences(const std::initializer_list<std::pair<std::string, std::string>>& values) const
{
    WritePreferences(Platform::FolderPath(Platform::Folder::SystemPreferences), "com.corvane.cvk.client", values);
}

std::string TempRoot::ClientLogText() const
{
    std::string user = Platform::CurrentUserName();
    return ReadFileText(LogFolder(user) + "/" + user + "_Quorvel.log");
}

std::string TempRoot::Folder(Platform::Folder folder) const
{
    return Platform::FolderPath(folder);
}

std::string TempRoot::LogFolder(const std::string& user) const
{
    if (user == "root")
        return Platform::FolderPath(Platform::Folder::SystemLogs);
    if (user == Platform::CurrentUserName())
        return Platform::FolderPath(Platform::Folder::UserLogs);
    auto account = Platform::LookupUser(user);
    return account ? Platform::FolderPathFor(Platform::Folder::UserLogs, *account) : std::string();
}

std::string ReadFileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileText(const std::string& path, std::string_view data)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

}  // namespace TestSupport
