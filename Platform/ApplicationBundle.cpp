#include "Platform/ApplicationBundle.h"

#include <plist/plist.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace Platform::ApplicationBundle {
namespace {

// An information list is small; anything larger is not one.
constexpr std::uintmax_t kMaxInfoList = 1024 * 1024;

struct PlistDeleter {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// The whole file, or nothing when it is missing, not a file or too large.
std::optional<std::string> ReadSmallFile(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) || std::filesystem::file_size(path, error) > kMaxInfoList
        || error)
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof())
        return std::nullopt;
    return data;
}

// A text's truth as the platform reads a text as a boolean.
bool TextIsTrue(std::string_view text)
{
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    while (at < text.size() && text[at] == '0')
        ++at;
    if (at == text.size())
        return false;
    char first = static_cast<char>(std::toupper(static_cast<unsigned char>(text[at])));
    return first == 'Y' || first == 'T' || (first >= '1' && first <= '9');
}

}  // namespace

std::string PathOfProgram(const std::string& programPath)
{
    std::filesystem::path folder = std::filesystem::path(programPath).parent_path();
    if (folder.filename() == "MacOS" && folder.parent_path().filename() == "Contents")
        return folder.parent_path().parent_path().string();
    return folder.string();
}

std::optional<bool> BoolValue(const std::string& bundlePath, std::string_view key)
{
    std::optional<std::string> data = ReadSmallFile(std::filesystem::path(bundlePath) / InfoListPath);
    if (!data || data->empty())
        return std::nullopt;
    plist_t raw = nullptr;
    plist_from_memory(data->data(), static_cast<uint32_t>(data->size()), &raw);
    PlistPtr root(raw);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return std::nullopt;
    plist_t item = plist_dict_get_item(root.get(), std::string(key).c_str());
    if (item == nullptr)
        return std::nullopt;
    switch (plist_get_node_type(item)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(item, &value);
        return value != 0;
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(item, &value);
        return value != 0;
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(item, &value);
        return value != 0;
    }
    case PLIST_STRING: {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(item, &length);
        return TextIsTrue(std::string_view(text != nullptr ? text : "", text != nullptr ? length : 0));
    }
    default:
        return std::nullopt;
    }
}

}  // namespace Platform::ApplicationBundle
