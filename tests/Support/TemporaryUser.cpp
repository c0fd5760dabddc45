#include "tests/Support/TemporaryUser.h"

#include "tests/Support/ChildProgram.h"

#include <filesystem>
#include <pwd.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace TestSupport {

namespace {

// useradd and userdel give up at once when another of them holds the lock
// of the password files, as happens when several tests make users at once.
ProgramResult RunWithRetries(const std::vector<std::string>& arguments)
{
    ProgramResult result;
    for (int attempt = 0; attempt < 50; ++attempt) {
        result = RunProgram(arguments);
        if (result.status == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return result;
}

// Users that tests killed before they could remove them: named with the
// prefix and the id of a process that is gone.
std::vector<std::string> LeftOverUsers(const std::string& prefix)
{
    std::vector<std::string> names;
    setpwent();
    while (passwd* entry = getpwent()) {
        std::string name = entry->pw_name;
        std::string digits = name.substr(std::min(prefix.size(), name.size()));
        if (!name.starts_with(prefix) || digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (!std::filesystem::exists("/proc/" + digits))
            names.push_back(name);
    }
    endpwent();
    return names;
}

}  // namespace

TemporaryUser::TemporaryUser(const std::string& prefix) : mstrName(prefix + std::to_string(getpid()))
{
    if (geteuid() != 0) {
        mstrProblem = "making a second user of the machine needs root";
        return;
    }
    for (const std::string& name : LeftOverUsers(prefix))
        RunWithRetries({"/usr/sbin/userdel", name});
    ProgramResult made = RunWithRetries({"/usr/sbin/useradd", "--system", "--no-create-home", "--no-user-group",
                                         "--gid", "nogroup", "--shell", "/usr/sbin/nologin", "--home-dir",
                                         "/home/" + mstrName, "--comment", "Quorvel test user", mstrName});
    mAccount = Platform::LookupUser(mstrName);
    if (made.status != 0 || !mAccount) {
        mstrProblem = "useradd failed: " + made.output;
        mAccount.reset();
    }
}

TemporaryUser::~TemporaryUser()
{
    if (mAccount)
        RunWithRetries({"/usr/sbin/userdel", mstrName});
}

std::string TemporaryUser::MakeHome() const
{
    std::string home = Platform::HomeFolder(*mAccount);
    std::filesystem::create_directories(home);
    std::filesystem::permissions(home, std::filesystem::perms::owner_all);
    if (chown(home.c_str(), mAccount->uid, mAccount->gid) != 0)
        return std::string();
    return home;
}

}  // namespace TestSupport
