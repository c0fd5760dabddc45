#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace CVClientData {

// The process operations of the system: finding the CUPS backend that the
// hook wraps, running it as a child (on the inherited descriptors or behind a
// standard-input pipe that first replays what was already read), and
// capturing a program's output. All operations are static.
class ProcessUtil {
public:
    ProcessUtil() = default;
    ~ProcessUtil() = default;

    // Works out the backend's name and the folder it was installed in from
    // the program's argument 0: a device URI names it by its scheme, a path
    // by its last component.
    static void GetOriginalBackendPathAndName(std::string& folder, std::string& name, const char* argument0);

    // Replaces the path by its absolute form without symbolic links, "." or
    // ".."; leaves it unchanged when it cannot be resolved.
    static void FollowAllSymlinks(std::string& path);

    // Runs the program with the arguments as given, on this process's own
    // descriptors, and waits for it. The caller's standard input, output and
    // error belong to the child from then on.
    static int ExecuteChildPreserveFileHandles(const char* path, char* const arguments[]);

    // Runs the program with a pipe as its standard input: first the bytes
    // already read from this process's standard input, then the rest of it.
    static int ExecuteChildWithStdinPipe(const char* path, char* const arguments[],
                                         const unsigned char* alreadyRead, unsigned long length);

    // The same for a job too large to hold in memory: after the bytes comes
    // the whole content of the file alreadyReadRest (read from its start; -1
    // for none), then the rest of standard input. When that file cannot be
    // read the child is ended and the status is 1, so that no job is printed
    // with a piece missing.
    static int ExecuteChildWithStdinPipe(const char* path, char* const arguments[],
                                         const unsigned char* alreadyRead, unsigned long length,
                                         int alreadyReadRest);

    // Runs in the child just before the program starts, with cupsd's rules
    // (Platform::JudgeBackend): a program that others may execute runs as
    // CUPS's user and group (cups-files.conf, "lp" by default) without
    // supplementary groups; one that they may not keeps the current ids
    // (root's). False, with an "ERROR:" line for the scheduler, when cupsd
    // would refuse the program or the ids could not be lowered; the program
    // must then not run. Without root's rights nothing is checked or changed.
    static bool CheckPermissionsAndSetUidIfAble(const char* path);

    // Runs a program (absolute path in arguments[0]) without a shell and
    // returns what it wrote to standard output; empty when it cannot start.
    static std::string ExecuteChildAndCaptureOutput(const std::vector<std::string>& arguments);

    // The program that ExecuteChildPreserveFileHandles or
    // ExecuteChildWithStdinPipe runs at the moment, or 0; safe to read in a
    // signal handler (the hook stops it when it is itself stopped).
    static pid_t RunningChild();

    // The status reported for a child that exited with exitCode, and the one
    // for every child that did not exit normally.
    static constexpr int FailureStatus = 1;
};

}  // namespace CVClientData
