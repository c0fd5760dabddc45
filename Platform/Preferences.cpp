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
#include <map>
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

struct PlistDeleter {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// The top-level keys of one preference file and their values.
using PreferenceValues = std::map<std::string, PreferenceValue, std::less<>>;

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

// The values of every top-level key of a property list; empty when the data
// is not a property list holding a dictionary.
PreferenceValues ParseValues(const std::string& data)
{
    PreferenceValues values;
    if (data.empty())
        return values;
    plist_t raw = nullptr;
    plist_from_memory(data.data(), static_cast<uint32_t>(data.size()), &raw);
    PlistPtr root(raw);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return values;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(root.get(), &iter);
    std::unique_ptr<void, decltype(&std::free)> iterOwner(iter, &std::free);
    for (;;) {
        char* rawKey = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(root.get(), iter, &rawKey, &item);
        std::unique_ptr<char, decltype(&std::free)> key(rawKey, &std::free);
        if (item == nullptr || key == nullptr)
            break;
        PreferenceValue value;
        if (plist_get_node_type(item) == PLIST_STRING) {
            uint64_t length = 0;
            const char* text = plist_get_string_ptr(item, &length);
            value.kind = PreferenceValue::Kind::Text;
            value.text.assign(text ? text : "", text ? static_cast<size_t>(length) : 0);
        } else {
            value.kind = PreferenceValue::Kind::Other;
        }
        values.emplace(key.get(), std::move(value));
    }
    return values;
}

// One version of a file, parsed.
struct ParsedFile {
    FileVersion version;
    std::shared_ptr<const PreferenceValues> values;
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

// Reads and parses a whole preference file; nothing when it is missing,
// unreadable or larger than any preference file could be. The version is
// taken before the data, so a file written meanwhile is read again next time.
std::optional<ParsedFile> LoadFile(const std::string& path)
{
    ScopedDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxPreferenceFile)
        return std::nullopt;
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
    FileVersion version = VersionOf(info);
    return ParsedFile{version, std::make_shared<const PreferenceValues>(ParseValues(data)), IsSettled(version)};
}

// Preference files are read for every log line; a parsed file is used again
// for as long as the file on disk is the same version. The lock is only
// tried, so that a child forked while another thread held it reads the file
// itself instead of waiting for ever.
class ParsedFileCache {
public:
    // The parsed values of this version of the file, if they are held.
    std::shared_ptr<const PreferenceValues> Find(const std::string& path, const FileVersion& version)
    {
        std::unique_lock lock(mMutex, std::try_to_lock);
        if (!lock.owns_lock())
            return nullptr;
        auto found = mFiles.find(path);
        if (found == mFiles.end() || !(found->second.version == version))
            return nullptr;
        return found->second.values;
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

// Looks the key up in one file; Missing when the file or the key is absent.
PreferenceValue ValueFromFile(const std::string& path, std::string_view key)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return {};
    std::shared_ptr<const PreferenceValues> values = Cache().Find(path, VersionOf(info));
    if (!values) {
        auto loaded = LoadFile(path);
        if (!loaded)
            return {};
        if (loaded->settled)
            Cache().Store(path, *loaded);
        values = loaded->values;
    }
    auto found = values->find(key);
    return found == values->end() ? PreferenceValue{} : found->second;
}

}  // namespace

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
    std::string userFolder = FolderPath(Folder::UserPreferences);
    if (!userFolder.empty()) {
        PreferenceValue user = ValueFromFile(PreferenceFilePath(userFolder, domain), key);
        if (!user.IsMissing())
            return user;
    }
    return ValueFromFile(PreferenceFilePath(FolderPath(Folder::SystemPreferences), domain), key);
}

}  // namespace Platform
