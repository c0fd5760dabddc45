#include "Platform/Preferences.h"

#include "Platform/FileSystemRoot.h"
#include "Platform/Folders.h"
#include "Platform/ScopedDescriptor.h"
#include "Platform/UserAccount.h"

#include <plist/plist.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <cstdlib>
#include <fcntl.h>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace Platform {
namespace {

// Preference files are small; anything larger is not one of ours.
constexpr off_t kMaxPreferenceFile = 4 * 1024 * 1024;

// Parsed files kept at the most; tests that move the root often make many.
constexpr size_t kMaxParsedFiles = 64;

// What tells one version of a file from another: a file replaced or
// rewritten changes at least one of these.
struct FileVersion {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0;
    long long changedNs = 0;

    bool operator==(const FileVersion&) const = default;
};

// The version of the file that status information describes.
FileVersion VersionOf(const struct stat& info)
{
    auto ns = [](const timespec& time) { return time.tv_sec * 1000000000LL + time.tv_nsec; };
    return {info.st_dev, info.st_ino, info.st_size, ns(info.st_mtim), ns(info.st_ctim)};
}

// One version of a file, parsed.
struct ParsedFile {
    FileVersion version;
    PreferenceDictionary dictionary;
    bool settled = false;  // old enough for its version to tell it from later writes
};

// File times advance in clock ticks, so two writes within one tick can leave
// the same version behind. A file changed during the last second is therefore
// read anew each time; only older ones are kept.
bool IsSettled(const FileVersion& version)
{
    timespec now{};
    if (clock_gettime(CLOCK_REALTIME, &now) != 0)
        return false;
    long long nowNs = now.tv_sec * 1000000000LL + now.tv_nsec;
    return nowNs - std::max(version.modifiedNs, version.changedNs) >= 1000000000LL;
}

// Reads and parses a whole preference file; nothing when it is missing. A
// file that cannot be read, is not a regular file or is larger than any
// preference file could be is unusable. The version is taken before the
// data, so a file written meanwhile is read again next time.
std::optional<ParsedFile> LoadFile(const std::string& path)
{
    ScopedDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return std::nullopt;
        return ParsedFile{{}, PreferenceDictionary::Unusable(std::strerror(errno)), false};
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0)
        return ParsedFile{{}, PreferenceDictionary::Unusable(std::strerror(errno)), false};
    FileVersion version = VersionOf(info);
    if (!S_ISREG(info.st_mode))
        return ParsedFile{version, PreferenceDictionary::Unusable("not a regular file"), IsSettled(version)};
    if (info.st_size > kMaxPreferenceFile)
        return ParsedFile{version, PreferenceDictionary::Unusable("larger than any preference file"),
                          IsSettled(version)};
    std::string data(static_cast<size_t>(info.st_size), '\0');
    size_t filled = 0;
    while (filled < data.size()) {
        ssize_t got = ::read(file.fd, data.data() + filled, data.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        filled += static_cast<size_t>(got);
    }
    data.resize(filled);
    return ParsedFile{version, PreferenceDictionary::Parse(data), IsSettled(version)};
}

// Preference files are read for every log line; a parsed file is used again
// for as long as the file on disk is the same version. The lock is only
// tried, so that a child forked while another thread held it reads the file
// itself instead of waiting for ever.
class ParsedFileCache {
public:
    // This version of the file, parsed, if it is held.
    std::optional<PreferenceDictionary> Find(const std::string& path, const FileVersion& version)
    {
        std::unique_lock lock(mMutex, std::try_to_lock);
        if (!lock.owns_lock())
            return std::nullopt;
        auto found = mFiles.find(path);
        if (found == mFiles.end() || !(found->second.version == version))
            return std::nullopt;
        return found->second.dictionary;
    }

    // Keeps a parsed file for later calls.
    void Store(const std::string& path, const ParsedFile& file)
    {
        std::unique_lock lock(mMutex, std::try_to_lock);
        if (!lock.owns_lock())
            return;
        if (mFiles.size() >= kMaxParsedFiles && mFiles.find(path) == mFiles.end())
            mFiles.clear();
        mFiles[path] = file;
    }

private:
    std::mutex mMutex;
    std::unordered_map<std::string, ParsedFile> mFiles;
};

ParsedFileCache& Cache()
{
    static ParsedFileCache cache;
    return cache;
}

// One file, parsed (from the cache when this version was parsed before);
// an empty dictionary when the file is absent.
PreferenceDictionary DictionaryOfFile(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR))
        return {};
    if (auto cached = Cache().Find(path, VersionOf(info)))
        return *cached;
    auto loaded = LoadFile(path);
    if (!loaded)
        return {};
    if (loaded->settled)
        Cache().Store(path, *loaded);
    return loaded->dictionary;
}

// The domain's files, the user's first; the user's is left out when the
// process's user has no home.
std::vector<std::string> DomainFiles(std::string_view domain)
{
    std::vector<std::string> files;
    std::string userFolder = FolderPath(Folder::UserPreferences);
    if (!userFolder.empty())
        files.push_back(PreferenceFilePath(userFolder, domain));
    files.push_back(PreferenceFilePath(FolderPath(Folder::SystemPreferences), domain));
    return files;
}

}  // namespace

PreferenceDictionary PreferenceDictionary::Parse(std::string_view data)
{
    if (data.empty())
        return Unusable("empty");
    plist_t raw = nullptr;
    plist_from_memory(data.data(), static_cast<uint32_t>(data.size()), &raw);
    std::shared_ptr<void> root(raw, [](void* node) { plist_free(static_cast<plist_t>(node)); });
    if (!root)
        return Unusable("not a property list");
    if (plist_get_node_type(root.get()) != PLIST_DICT)
        return Unusable("not a dictionary");
    PreferenceDictionary dictionary;
    dictionary.mRoot = std::move(root);
    return dictionary;
}

PreferenceDictionary PreferenceDictionary::Unusable(std::string problem)
{
    PreferenceDictionary dictionary;
    dictionary.mstrProblem = std::move(problem);
    return dictionary;
}

// Asks the dictionary for the one key; the parsed tree is only read, so
// threads may look keys up in one dictionary at once.
PreferenceValue PreferenceDictionary::Find(std::string_view key) const
{
    if (!mRoot)
        return {};
    plist_t item = plist_dict_get_item(static_cast<plist_t>(mRoot.get()), std::string(key).c_str());
    if (item == nullptr)
        return {};
    PreferenceValue value;
    if (plist_get_node_type(item) != PLIST_STRING) {
        value.kind = PreferenceValue::Kind::Other;
        return value;
    }
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(item, &length);
    value.kind = PreferenceValue::Kind::Text;
    if (text != nullptr)
        value.text.assign(text, static_cast<size_t>(length));
    return value;
}

std::string PreferenceFilePath(std::string_view folder, std::string_view domain)
{
    std::string path(folder);
    path += '/';
    path += domain;
    path += ".plist";
    return path;
}

PreferenceValue CopyAppValue(std::string_view key, std::string_view domain)
{
    for (const std::string& file : DomainFiles(domain)) {
        PreferenceValue value = DictionaryOfFile(file).Find(key);
        if (!value.IsMissing())
            return value;
    }
    return {};
}

std::vector<std::string> UnusablePreferenceFiles(std::string_view domain)
{
    std::vector<std::string> unusable;
    for (const std::string& file : DomainFiles(domain)) {
        PreferenceDictionary dictionary = DictionaryOfFile(file);
        if (!dictionary.Problem().empty())
            unusable.push_back(file + ": " + dictionary.Problem());
    }
    return unusable;
}

}  // namespace Platform
