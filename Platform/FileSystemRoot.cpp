#include "Platform/FileSystemRoot.h"

#include <cstdlib>
#include <mutex>

namespace Platform {
namespace {

std::mutex& RootMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::string& OverrideRoot()
{
    static std::string root;
    return root;
}

// Drops trailing slashes so that joining with an absolute path gives one slash.
std::string Normalised(std::string root)
{
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return root.empty() ? std::string("/") : root;
}

}  // namespace

std::string FileSystemRoot()
{
    std::lock_guard lock(RootMutex());
    if (!OverrideRoot().empty())
        return OverrideRoot();
    const char* env = std::getenv("CVK_ROOT");
    if (env != nullptr && env[0] == '/')
        return Normalised(env);
    return "/";
}

void SetFileSystemRoot(std::string root)
{
    std::lock_guard lock(RootMutex());
    OverrideRoot() = root.empty() ? std::string() : Normalised(std::move(root));
}

std::string HostPath(std::string_view absolutePath)
{
    std::string root = FileSystemRoot();
    if (root == "/")
        return std::string(absolutePath);
    if (!absolutePath.empty() && absolutePath.front() != '/')
        root.push_back('/');
    root.append(absolutePath);
    return root;
}

}  // namespace Platform
