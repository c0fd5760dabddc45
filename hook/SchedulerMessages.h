#pragma once

#include <string_view>

// Tells the scheduler what became of the job, as CUPS backends do: one line
// on standard error whose prefix decides what cupsd does with it ("INFO:"
// becomes the printer's state message that lpstat shows; "ERROR:" also goes
// to the scheduler's error log). The hook's own log file is written besides.
// Standard error belongs to the wrapped backend once it runs, so these lines
// come before it.
namespace SchedulerMessages {

void Info(std::string_view text);
void Error(std::string_view text);

}  // namespace SchedulerMessages
