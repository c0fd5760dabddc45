#include "hook/SchedulerMessages.h"

#include <string>
#include <unistd.h>

namespace SchedulerMessages {

namespace {

// One whole line in one write, so that it never mixes with another process's.
// A control character in the text (a user name may hold one) becomes "?", so
// that nothing can start a line of its own that the scheduler would obey.
void WriteLine(std::string_view prefix, std::string_view text)
{
    std::string line(prefix);
    for (char c : text)
        line.push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c);
    line.push_back('\n');
    // Nothing is to be done about a scheduler that does not listen.
    (void)!write(STDERR_FILENO, line.data(), line.size());
}

}  // namespace

void Info(std::string_view text)
{
    WriteLine("INFO: ", text);
}

void Error(std::string_view text)
{
    WriteLine("ERROR: ", text);
}

}  // namespace SchedulerMessages
