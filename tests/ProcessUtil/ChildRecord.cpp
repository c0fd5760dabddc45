#include "tests/ProcessUtil/ChildRecord.h"

#include "tests/Support/TempRoot.h"

#include <charconv>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace ProcessUtilTests {

std::string ChildRecord::Get(const std::string& key) const
{
    auto found = values.find(key);
    return found == values.end() ? std::string() : found->second;
}

std::vector<int> ChildRecord::Descriptors() const
{
    std::vector<int> descriptors;
    std::stringstream list(Get("fds"));
    std::string item;
    while (std::getline(list, item, ',')) {
        int fd = -1;
        std::from_chars(item.data(), item.data() + item.size(), fd);
        descriptors.push_back(fd);
    }
    return descriptors;
}

ChildRecord ReadChildRecord(const std::string& folder, const std::string& name)
{
    ChildRecord record;
    std::stringstream text(TestSupport::ReadFileText(folder + "/" + name + ".txt"));
    std::string line;
    while (std::getline(text, line)) {
        size_t equals = line.find('=');
        if (equals != std::string::npos)
            record.values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    record.data = TestSupport::ReadFileText(folder + "/" + name + ".data");
    return record;
}

int RunInForkedProcess(const std::string& stdinPath, const std::function<int()>& body)
{
    pid_t pid = fork();
    if (pid == 0) {
        int input = open(stdinPath.empty() ? "/dev/null" : stdinPath.c_str(), O_RDONLY);
        int null = open("/dev/null", O_WRONLY);
        dup2(input, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        close(input);
        close(null);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void WriteProgram(const std::string& path, const std::string& text, unsigned mode)
{
    TestSupport::WriteFileText(path, text);
    std::filesystem::permissions(path, std::filesystem::perms(mode));
}

}  // namespace ProcessUtilTests
