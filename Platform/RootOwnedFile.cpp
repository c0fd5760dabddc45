#include "Platform/RootOwnedFile.h"

#include "Platform/FileSystemRoot.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace Platform {
namespace {

// Why one step of the path is not to be trusted, or an empty text.
std::string WhyNotTrusted(const std::string& path, bool folder, uid_t owner)
{
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0)
        return path + ": " + std::strerror(errno);
    if (S_ISLNK(info.st_mode))
        return path + " is a symbolic link";
    if (folder ? !S_ISDIR(info.st_mode) : !S_ISREG(info.st_mode))
        return path + (folder ? " is not a folder" : " is not a regular file");
    if (info.st_uid != owner)
        return path + " belongs to user " + std::to_string(info.st_uid) + ", not to user " + std::to_string(owner);
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return path + " may be written by its group or by others";
    return {};
}

// The names of the path below the root, or nothing when one is "." or "..".
bool SplitBelow(std::string_view rest, std::vector<std::string_view>& names)
{
    while (!rest.empty()) {
        size_t slash = rest.find('/');
        std::string_view name = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (name == "." || name == "..")
            return false;
        if (!name.empty())
            names.push_back(name);
    }
    return true;
}

}  // namespace

std::string WhyNotRootOwned(const std::string& path, uid_t owner)
{
    std::string root = FileSystemRoot();
    std::string_view rest(path);
    if (root != "/") {
        if (rest.substr(0, root.size()) != root || (rest.size() > root.size() && rest[root.size()] != '/'))
            return path + " lies outside the filesystem root " + root;
        rest.remove_prefix(root.size());
    }
    std::vector<std::string_view> names;
    if (rest.empty() || rest.front() != '/' || !SplitBelow(rest, names) || names.empty())
        return path + " is not a plain absolute path to a file";

    std::string step = root;
    if (std::string why = WhyNotTrusted(step, true, owner); !why.empty())
        return why;
    for (size_t at = 0; at < names.size(); ++at) {
        if (step.back() != '/')
            step += '/';
        step += names[at];
        if (std::string why = WhyNotTrusted(step, at + 1 < names.size(), owner); !why.empty())
            return why;
    }
    return {};
}

}  // namespace Platform
