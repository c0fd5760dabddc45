#pragma once

#include "Platform/FileSystemRoot.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// Included by one source of a fuzz target: moves the target's filesystem root
// into a temporary folder before the first input.
//
// The folder holds only preferences that turn debug lines off: the code under
// test finds no log folder there, so it writes no log lines (and spends no
// time looking for a log file per line) and reads nothing of the machine's
// own. FuzzRoot returns the folder, which the target may use for its files.
inline const std::string& FuzzRoot()
{
    // Never destroyed: the exit handler below still reads it.
    static const std::string& root = *new std::string([] {
        std::string folder = "/tmp/cvkfuzz.XXXXXX";
        if (mkdtemp(folder.data()) == nullptr)
            std::abort();
        Platform::SetFileSystemRoot(folder);
        const std::string preferences = folder + "/etc/quorvel";
        std::filesystem::create_directories(preferences);
        std::ofstream(preferences + "/com.corvane.cvk.client.plist")
            << "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>DebugLogging</key>"
               "<string>0</string></dict></plist>";
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(FuzzRoot(), ignored);
        });
        return folder;
    }());
    return root;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzRoot();
    return 0;
}
