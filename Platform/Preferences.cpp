#include "Platform/Preferences.h"

#include "Platform/FileSystemRoot.h"
#include "Platform/UserAccount.h"

#include <plist/plist.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

namespace Platform {
namespace {

// Preference files are small; anything larger is not one of ours.
constexpr std::uintmax_t kMaxPreferenceFile = 4 * 1024 * 1024;

struct PlistDeleter {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// Reads a whole preference file; nothing when it is missing, unreadable or
// larger than any preference file could be.
std::optional<std::string> ReadFile(const std::string& path)
{
    std::error_code error;
    auto size = std::filesystem::file_size(path, error);
    if (error || size > kMaxPreferenceFile)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string data(static_cast<size_t>(size), '\0');
    in.read(data.data(), static_cast<std::streamsize>(data.size()));
    data.resize(static_cast<size_t>(in.gcount()));
    return data;
}

// Looks the key up in one file; Missing when the file or the key is absent.
PreferenceValue ValueFromFile(const std::string& path, std::string_view key)
{
    auto data = ReadFile(path);
    if (!data || data->empty())
        return {};
    plist_t raw = nullptr;
    plist_from_memory(data->data(), static_cast<uint32_t>(data->size()), &raw);
    PlistPtr root(raw);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return {};
    std::string keyText(key);
    plist_t item = plist_dict_get_item(root.get(), keyText.c_str());
    if (item == nullptr)
        return {};
    PreferenceValue value;
    if (plist_get_node_type(item) == PLIST_STRING) {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(item, &length);
        value.kind = PreferenceValue::Kind::Text;
        value.text.assign(text ? text : "", text ? static_cast<size_t>(length) : 0);
    } else {
        value.kind = PreferenceValue::Kind::Other;
    }
    return value;
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
    std::string home = CurrentHomeFolder();
    if (!home.empty()) {
        PreferenceValue user = ValueFromFile(PreferenceFilePath(home + "/Library/Preferences", domain), key);
        if (!user.IsMissing())
            return user;
    }
    return ValueFromFile(PreferenceFilePath(HostPath("/Library/Preferences"), domain), key);
}

}  // namespace Platform
