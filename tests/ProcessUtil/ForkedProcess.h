#pragma once

#include <functional>
#include <string>

namespace ProcessUtilTests {

// Runs body in a forked process whose standard input is the given file (or
// /dev/null) and whose output and errors are discarded, since the operations
// under test take over those descriptors. Answers body's result (0..255), or
// -1 when the process did not exit normally.
int RunInForkedProcess(const std::string& stdinPath, const std::function<int()>& body);

// Writes an executable file with the given text and mode.
void WriteProgram(const std::string& path, const std::string& text, unsigned mode = 0755);

}  // namespace ProcessUtilTests
