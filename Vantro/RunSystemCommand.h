#pragma once

#include <string>
#include <vector>

// True when the system's shell, /bin/sh, can be run.
bool ShellAvailable();

// Runs a shell script as system() would, but without a command line: /bin/sh
// gets the script's path and then the script's arguments, each as one
// argument, so blanks or quotes in them need no quoting. Blocks until the script has ended and answers its exit
// code: the script's own, 128 plus the signal number when a signal ended it,
// and 127 (as system() reports it) when the shell could not be run at all.
// The name labels the debug lines around the run.
int RunSystemCommand(const std::string& scriptPath, const std::vector<std::string>& arguments,
                     const std::string& name);
