#include "tests/Install/StagedInstallation.h"

#include "tests/Support/ChildProgram.h"
#include "tests/Support/TempRoot.h"

#include <regex>

namespace InstallTests {

std::string UnshareFile(const std::string& path)
{
    std::string copy = path + ".unshared";
    TestSupport::ProgramResult copied = TestSupport::RunProgram({"cp", "-p", path, copy});
    if (copied.status != 0)
        return copied.output;
    TestSupport::ProgramResult renamed = TestSupport::RunProgram({"mv", "-f", copy, path});
    return renamed.status == 0 ? std::string() : renamed.output;
}

std::string PutInstallationUnder(const std::string& root)
{
    std::string from = std::string(StagingFolder) + "/.";
    // Hard links need one filesystem; a copy does everywhere. Files the test
    // wrote already (its preferences) stay.
    TestSupport::ProgramResult copied =
        TestSupport::RunProgram({"cp", "-a", "--no-clobber", "--link", "--no-preserve=links", from, root});
    if (copied.status != 0)
        copied = TestSupport::RunProgram({"cp", "-a", "--no-clobber", from, root});
    if (copied.status != 0)
        return copied.output;
    // Files that tests change get their own copy, so that the staged one
    // stays as installed.
    std::string problem = UnshareFile(root + CVK_CUPS_BACKEND_FOLDER + "/cvkhook");
    return problem.empty() ? UnshareFile(root + "/etc/quorvel/com.corvane.cvk.client.plist") : problem;
}

std::string ProgramOfClientUnit(const std::string& root)
{
    std::string unit = TestSupport::ReadFileText(root + CVK_CLIENT_UNIT_FILE);
    std::smatch execStart;
    if (!std::regex_search(unit, execStart, std::regex("\nExecStart=\"([^\"]+)\"\n")))
        return {};
    return execStart[1].str();
}

}  // namespace InstallTests
