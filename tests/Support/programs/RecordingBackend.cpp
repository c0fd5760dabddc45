// A stand-in CUPS backend for tests: records how it was started (arguments,
// ids, groups, SIGPIPE disposition, open descriptors, environment) and the
// job data it received, then exits with a chosen status.
//
// Records go to the folder named by CVK_RECORD_DIR: "<name>.txt" and
// "<name>.data", where name is the job id (argument 1) or "list" when CUPS
// asks for devices. CVK_RECORD_EXIT sets the exit status (default 0).
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

// The descriptors open at start, in ascending order.
std::vector<int> OpenDescriptors()
{
    std::vector<int> found;
    DIR* folder = opendir("/proc/self/fd");
    if (folder == nullptr)
        return found;
    int own = dirfd(folder);
    while (dirent* entry = readdir(folder)) {
        if (entry->d_name[0] == '.')
            continue;
        int fd = static_cast<int>(std::strtol(entry->d_name, nullptr, 10));
        if (fd != own)
            found.push_back(fd);
    }
    closedir(folder);
    std::sort(found.begin(), found.end());
    return found;
}

// Copies every byte of a descriptor into a file.
void CopyAll(int from, const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    std::vector<char> buffer(65536);
    for (;;) {
        ssize_t got = read(from, buffer.data(), buffer.size());
        if (got <= 0)
            break;
        out.write(buffer.data(), got);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<int> descriptors = OpenDescriptors();
    struct sigaction pipeAction {};
    sigaction(SIGPIPE, nullptr, &pipeAction);

    const char* folder = std::getenv("CVK_RECORD_DIR");
    if (folder == nullptr)
        return 1;
    std::string name = argc >= 6 ? argv[1] : "list";
    std::string base = std::string(folder) + "/" + name;

    std::ofstream record(base + ".txt.part");
    record << "argc=" << argc << "\n";
    for (int i = 0; i < argc; ++i)
        record << "argv[" << i << "]=" << argv[i] << "\n";
    record << "uid=" << getuid() << "\neuid=" << geteuid() << "\ngid=" << getgid() << "\negid=" << getegid() << "\n";
    std::vector<gid_t> groups(static_cast<size_t>(std::max(getgroups(0, nullptr), 0)));
    groups.resize(static_cast<size_t>(std::max(getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    record << "groups=";
    for (size_t i = 0; i < groups.size(); ++i)
        record << (i ? "," : "") << groups[i];
    record << "\nsigpipe=" << (pipeAction.sa_handler == SIG_IGN ? "ignored" : "default") << "\nfds=";
    for (size_t i = 0; i < descriptors.size(); ++i)
        record << (i ? "," : "") << descriptors[i];
    record << "\n";
    for (char** variable = environ; *variable != nullptr; ++variable)
        record << "env:" << *variable << "\n";
    record.close();

    if (argc == 7) {
        int file = open(argv[6], O_RDONLY);
        CopyAll(file, base + ".data");
        close(file);
    } else if (argc >= 6) {
        CopyAll(STDIN_FILENO, base + ".data");
    }
    // The record appears whole, once the data is saved as well.
    rename((base + ".txt.part").c_str(), (base + ".txt").c_str());

    // A printer still busy with the job after its data arrived.
    if (const char* linger = std::getenv("CVK_RECORD_LINGER_MS"))
        usleep(static_cast<useconds_t>(std::strtol(linger, nullptr, 10)) * 1000);
    const char* status = std::getenv("CVK_RECORD_EXIT");
    return status != nullptr ? static_cast<int>(std::strtol(status, nullptr, 10)) : 0;
}
