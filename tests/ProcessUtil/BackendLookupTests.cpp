#include "Core/ProcessUtil/ProcessUtil.h"

#include "tests/ProcessUtil/ForkedProcess.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using CVClientData::ProcessUtil;
namespace fs = std::filesystem;

namespace {

// Sets CUPS_SERVERBIN for one test and restores it afterwards.
class ServerBinVariable {
public:
    explicit ServerBinVariable(const std::string& value)
    {
        if (const char* old = std::getenv("CUPS_SERVERBIN"))
            mstrOld = old;
        mblnHadOld = std::getenv("CUPS_SERVERBIN") != nullptr;
        if (value.empty())
            unsetenv("CUPS_SERVERBIN");
        else
            setenv("CUPS_SERVERBIN", value.c_str(), 1);
    }
    ~ServerBinVariable()
    {
        if (mblnHadOld)
            setenv("CUPS_SERVERBIN", mstrOld.c_str(), 1);
        else
            unsetenv("CUPS_SERVERBIN");
    }

private:
    std::string mstrOld;
    bool mblnHadOld = false;
};

struct LookupCase {
    const char* argument0;
    const char* name;
    const char* folder;  // "$BIN" for the test's own server folder
};

}  // namespace

TEST(BackendLookup, NamesAndFoldersFromArgumentZero)
{
    TestSupport::TempRoot root;
    std::string serverBin = root.Path() + "/serverbin";
    ProcessUtilTests::WriteProgram(serverBin + "/backend/ipp", "#!/bin/sh\n");
    ProcessUtilTests::WriteProgram(serverBin + "/backend/cvktest", "#!/bin/sh\n");
    ServerBinVariable variable(serverBin);

    const LookupCase cases[] = {
        {"ipp://printer.example/ipp/print", "ipp", "$BIN/backend"},
        {"cvktest://queue", "cvktest", "$BIN/backend"},
        {"/somewhere/else/cvktest", "cvktest", "$BIN/backend"},
        {"cvktest", "cvktest", "$BIN/backend"},
        {"nosuchbackend://host/x", "nosuchbackend", "."},
        // A scheme that could leave the folder is not used as a file name.
        {"../../bin/sh:/x", "", "."},
        {"", "", "."},
    };
    for (const auto& c : cases) {
        std::string folder = "unset", name = "unset";
        ProcessUtil::GetOriginalBackendPathAndName(folder, name, c.argument0);
        std::string expected = c.folder;
        if (expected.starts_with("$BIN"))
            expected = serverBin + expected.substr(4);
        EXPECT_EQ(name, c.name) << c.argument0;
        EXPECT_EQ(folder, expected) << c.argument0;
    }
}

TEST(BackendLookup, SystemFolderWithoutCupsVariable)
{
    TestSupport::TempRoot root;
    if (!fs::exists("/usr/lib/cups/backend/lpd"))
        GTEST_SKIP() << "no lpd backend installed";
    ServerBinVariable variable("");
    std::string folder, name;
    ProcessUtil::GetOriginalBackendPathAndName(folder, name, "/usr/lib/cups/backend/lpd");
    EXPECT_EQ(name, "lpd");
    EXPECT_EQ(folder, "/usr/lib/cups/backend");
}

TEST(BackendLookup, HiddenFolderBesideTheBackendFolderIsResolved)
{
    TestSupport::TempRoot root;
    fs::create_directories(root.Path() + "/cups/backend");
    fs::create_directories(root.Path() + "/cups/.cvkbackend");
    fs::create_directory_symlink(root.Path() + "/cups", root.Path() + "/linked");

    std::string path = root.Path() + "/linked/backend/../.cvkbackend";
    ProcessUtil::FollowAllSymlinks(path);
    EXPECT_EQ(path, fs::canonical(root.Path()).string() + "/cups/.cvkbackend");

    std::string missing = root.Path() + "/nothing/../here";
    ProcessUtil::FollowAllSymlinks(missing);
    EXPECT_EQ(missing, root.Path() + "/nothing/../here");
}
