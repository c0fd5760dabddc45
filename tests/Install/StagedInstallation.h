#pragma once

#include <string>

namespace InstallTests {

// The build installed into the staging folder as a package installs it
// (StageInstallation.cmake, run once before these tests).
inline constexpr const char* StagingFolder = CVK_STAGING_FOLDER;

// Puts the staged installation under a root folder, with the folders,
// modes and links as they are. Files are hard links to the staged ones
// where the filesystem allows (the programs are large and are only run),
// but cvkhook is a copy of its own, since the repair script changes its
// owner and mode. An empty text on success, else what failed.
std::string PutInstallationUnder(const std::string& root);

// A file of the installation under a root made a copy of its own, so that
// it can be changed without changing the staged one.
std::string UnshareFile(const std::string& path);

// The program that the installed user unit under a root starts (its quoted
// ExecStart), as a path of the installed system; empty when the unit names
// none.
std::string ProgramOfClientUnit(const std::string& root);

}  // namespace InstallTests
