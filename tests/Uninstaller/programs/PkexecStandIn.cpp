// Stands in for pkexec in the uninstaller's tests. Appends one line to the
// record file that CVK_PKEXEC_RECORD names, its arguments separated by tabs,
// then does what CVK_PKEXEC_ANSWER says: "run" (the default) runs the program
// that follows the options with its arguments, in this process's place, so
// that its exit status and output are the run's; "dismiss" exits 126 and
// "refuse" 127, pkexec's codes for a dismissed and a refused authentication.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int kDismissed = 126;
constexpr int kRefused = 127;

void Record(int argc, char** argv)
{
    const char* path = std::getenv("CVK_PKEXEC_RECORD");
    if (path == nullptr)
        return;
    std::ofstream record(path, std::ios::app);
    for (int at = 1; at < argc; ++at)
        record << (at > 1 ? "\t" : "") << argv[at];
    record << "\n";
}

}  // namespace

int main(int argc, char** argv)
{
    Record(argc, argv);
    const char* answer = std::getenv("CVK_PKEXEC_ANSWER");
    std::string what = answer != nullptr ? answer : "run";
    if (what == "dismiss")
        return kDismissed;
    if (what == "refuse")
        return kRefused;
    int program = 1;
    while (program < argc && std::strncmp(argv[program], "--", 2) == 0)
        ++program;
    if (program == argc)
        return kRefused;
    execv(argv[program], argv + program);
    std::perror(argv[program]);
    return kRefused;
}
