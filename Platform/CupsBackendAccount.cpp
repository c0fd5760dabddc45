#include "Platform/CupsBackendAccount.h"

#include "Platform/FileSystemRoot.h"
#include "Platform/UserAccount.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <strings.h>
#include <sys/stat.h>
#include <vector>

namespace Platform {
namespace {

constexpr const char* kCupsServerRoot = "/etc/cups";
constexpr const char* kDefaultName = "lp";

// cups-files.conf in the folder that cupsd names to its backends
// (CUPS_SERVERROOT), or in CUPS's own folder under the filesystem root.
std::string CupsFilesConf()
{
    const char* serverRoot = std::getenv("CUPS_SERVERROOT");
    std::string folder = serverRoot != nullptr && serverRoot[0] == '/' ? serverRoot : HostPath(kCupsServerRoot);
    return folder + "/cups-files.conf";
}

// The value of a directive of cups-files.conf, whose names cupsd reads
// without regard to case; the last line that sets it wins, as in cupsd.
std::string DirectiveValue(const std::string& conf, const char* directive)
{
    std::ifstream file(conf);
    std::string line;
    std::string value = kDefaultName;
    while (std::getline(file, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#')
            continue;
        size_t end = line.find_first_of(" \t", start);
        if (end == std::string::npos)
            continue;
        std::string name = line.substr(start, end - start);
        if (strcasecmp(name.c_str(), directive) != 0)
            continue;
        size_t valueStart = line.find_first_not_of(" \t", end);
        size_t valueEnd = line.find_last_not_of(" \t\r");
        if (valueStart != std::string::npos)
            value = line.substr(valueStart, valueEnd - valueStart + 1);
    }
    return value;
}

// A number given in place of a name.
std::optional<unsigned long> Number(const std::string& text)
{
    unsigned long number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

std::optional<gid_t> LookupGroup(const std::string& name)
{
    if (auto number = Number(name))
        return static_cast<gid_t>(*number);
    std::vector<char> buffer(4096);
    for (;;) {
        group entry{};
        group* found = nullptr;
        int rc = getgrnam_r(name.c_str(), &entry, buffer.data(), buffer.size(), &found);
        if (rc == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (rc != 0 || found == nullptr)
            return std::nullopt;
        return entry.gr_gid;
    }
}

std::string Octal(mode_t mode)
{
    char text[16];
    std::snprintf(text, sizeof text, "0%o", static_cast<unsigned>(mode & 07777));
    return text;
}

// Why a folder on the way to a backend lets someone other than root change
// what runs; empty when it does not. The folder the backend is named in is
// held to cupsd's rule, which knows no sticky bit.
std::string FolderProblem(const std::filesystem::path& folder, bool namedIn)
{
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0)
        return "the folder " + folder.string() + " cannot be checked: " + std::strerror(errno);
    if (info.st_uid != 0)
        return "the folder " + folder.string() + " belongs to user " + std::to_string(info.st_uid) + ", not to root";
    bool othersWrite = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    if (othersWrite && (namedIn || (info.st_mode & S_ISVTX) == 0))
        return "users other than root may write in the folder " + folder.string() + " (mode " + Octal(info.st_mode)
               + ")";
    return {};
}

// The first problem of a folder and every folder above it.
std::string ChainProblem(std::filesystem::path folder)
{
    for (;;) {
        std::string problem = FolderProblem(folder, false);
        if (!problem.empty() || folder == folder.root_path() || folder.empty())
            return problem;
        folder = folder.parent_path();
    }
}

}  // namespace

BackendVerdict JudgeBackend(const std::string& path)
{
    namespace fs = std::filesystem;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return {BackendRights::Refused, path + " cannot be checked: " + std::strerror(errno)};
    if (!S_ISREG(info.st_mode))
        return {BackendRights::Refused, path + " is not a regular file"};
    if (info.st_uid != 0)
        return {BackendRights::Refused, path + " belongs to user " + std::to_string(info.st_uid) + ", not to root"};
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return {BackendRights::Refused,
                "users other than root may write " + path + " (mode " + Octal(info.st_mode) + ")"};
    if ((info.st_mode & S_ISUID) != 0)
        return {BackendRights::Refused, path + " is set-user-ID (mode " + Octal(info.st_mode) + ")"};
    std::error_code ignored;
    fs::path named = fs::absolute(fs::path(path), ignored).parent_path();
    std::string problem = FolderProblem(named, true);
    std::error_code folderError, programError;
    fs::path folder = fs::canonical(named, folderError);
    fs::path program = fs::canonical(path, programError);
    if (problem.empty() && (folderError || programError))
        problem = path + " cannot be checked: " + (folderError ? folderError : programError).message();
    if (problem.empty())
        problem = ChainProblem(folder);
    if (problem.empty())
        problem = ChainProblem(program.parent_path());
    if (!problem.empty())
        return {BackendRights::Refused, problem};
    // cupsd runs a backend as root unless others may execute it or anyone
    // but root may write it (refused above).
    if ((info.st_mode & (S_IWGRP | S_IWOTH | S_IXOTH)) != 0)
        return {BackendRights::CupsUser, {}};
    return {BackendRights::Root, {}};
}

std::optional<CupsBackendAccount> LookupCupsBackendAccount(std::string& why)
{
    const std::string conf = CupsFilesConf();
    std::string userName = DirectiveValue(conf, "User");
    std::string groupName = DirectiveValue(conf, "Group");
    CupsBackendAccount account;
    if (auto number = Number(userName)) {
        account.uid = static_cast<uid_t>(*number);
    } else if (auto user = LookupUser(userName)) {
        account.uid = user->uid;
    } else {
        why = "CUPS's user " + userName + " is not known to the system";
        return std::nullopt;
    }
    auto gid = LookupGroup(groupName);
    if (!gid) {
        why = "CUPS's group " + groupName + " is not known to the system";
        return std::nullopt;
    }
    account.gid = *gid;
    if (account.uid == 0 || account.gid == 0) {
        why = "CUPS's user and group for backends must not be root's";
        return std::nullopt;
    }
    return account;
}

}  // namespace Platform
