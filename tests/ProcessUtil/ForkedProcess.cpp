#include "tests/ProcessUtil/ForkedProcess.h"

#include "tests/Support/TempRoot.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace ProcessUtilTests {

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
