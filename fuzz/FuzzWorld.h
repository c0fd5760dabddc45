#pragma once

#include "Platform/FileSystemRoot.h"

#include <cstdlib>
#include <string>

// Included by one source of a fuzz target: moves the target's filesystem root
// into an empty temporary folder before the first input.
//
// FuzzRoot moves the filesystem root into an empty temporary folder:
// the code under test finds no preferences and no log folder there, so it
// writes no log lines and reads nothing of the machine's own. Returns the
// folder, which the target may use for its own files.
inline const std::string& FuzzRoot()
{
    static const std::string root = [] {
        std::string folder = "/tmp/cvkfuzz.XXXXXX";
        if (mkdtemp(folder.data()) == nullptr)
            std::abort();
        Platform::SetFileSystemRoot(folder);
        return folder;
    }();
    return root;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzRoot();
    return 0;
}
