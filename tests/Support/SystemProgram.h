#pragma once

#include <gtest/gtest.h>

#include <string>

namespace TestSupport {

// A program of Debian's that a test runs or copies, and the package that
// ships it (scripts/install-dependencies installs it).
struct SystemProgram {
    std::string mstrPath;
    std::string mstrPackage;
};

// Success when the program is there; otherwise a failure that names the
// package to install, so that a machine set up without it fails the test
// instead of skipping it.
::testing::AssertionResult Installed(const SystemProgram& program);

}  // namespace TestSupport
