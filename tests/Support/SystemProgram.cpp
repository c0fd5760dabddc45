#include "tests/Support/SystemProgram.h"

#include <unistd.h>

namespace TestSupport {

::testing::AssertionResult Installed(const SystemProgram& program)
{
    if (access(program.mstrPath.c_str(), X_OK) == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << program.mstrPath << " is missing: install the Debian package "
                                         << program.mstrPackage << " (scripts/install-dependencies does)";
}

}  // namespace TestSupport
